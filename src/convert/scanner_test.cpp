#include "convert/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "console_capture.h"
#include "convert/reference_scanner.h"
#include "convert/word_tables.h"
#include "memory_conversion.h"
#include "pascal_text.h"
#include "same_text.h"

namespace {

// Checks `input` against `expected` through both scanners and in several block sizes, and that
// converting `expected` again changes nothing.
void ExpectConversion(std::string_view input, std::string_view expected, std::string_view options) {
  const RunOptions run = OptionsFromLetters(options);
  SCOPED_TRACE(testing::Message() << "input \"" << input << "\" options " << options);
  EXPECT_EQ(ConvertByCharacters(input, run), expected);
  for (std::size_t blockSize : {std::size_t{18}, std::size_t{23}, kBlockSize}) {
    EXPECT_EQ(ConvertInMemory(input, run, false, blockSize), expected) << "blocks of " << blockSize;
  }
  EXPECT_EQ(ConvertInMemory(expected, run, false), expected) << "not stable";
}

TEST(Scanner, ConvertsWordsOutsideStringsAndBraceComments) {
  struct Case {
    std::string_view input, expected, options = "";
  };
  const Case cases[] = {
      {"PROGRAM Test; BEGIN WRITELN('Hello World'); END.",
       "program Test; begin Writeln('Hello World'); end."},
      {"{ BEGIN } 'BEGIN' (* BEGIN *)", "{ BEGIN } 'BEGIN' (* begin *)"},
      {"s := '{'; BEGIN", "s := '{'; begin"},
      {"{ don't } BEGIN", "{ don't } begin"},
      {"'It''s BEGIN' BEGIN", "'It''s BEGIN' begin"},
      {"x1 := Y2;", "x1 := y2;"},
      {"ARCTAN arctan ArcTan", "ArcTan ArcTan ArcTan"},
      {"Write_Ln writeln_ _writeln", "Write_Ln writeln_ _writeln"},
      {"123 BEGIN1 1begin", "123 BEGIN1 1begin"},
      {"a:=b{c}d'e'f", "a:=b{c}d'e'f"},
      {"y := x", "Y := X"},
      {"END", "end"},
      {"x", "X"},
      {"", ""},
      {"CRLF\r\nLF\nCR\r", "CRLF\r\nLF\nCR\r"},
      {"\xe9"
       "begin\xff"
       "END\x01",
       "\xe9"
       "begin\xff"
       "end\x01"},
      {"} BEGIN { BEGIN", "} begin { BEGIN"},
      {"Begin textcolor myVar 123", "BEGIN TextColor myVar 123", "U"},
      {"Begin textcolor myVar 123", "begin Textcolor MyVar 123", "F"},
      {"Begin textcolor myVar", "Begin Textcolor MyVar", "FR"},
      {"Begin textcolor myVar", "BEGIN Textcolor MyVar", "FU"},
      {"Begin textcolor myVar", "BEGIN Textcolor MyVar", "FRU"},
      {"Begin textcolor myVar", "begin TextColor myVar", "R"},
      {"{ Begin } 'myVar' myVar", "{ Begin } 'myVar' MyVar", "F"},
  };
  for (const Case& c : cases)
    ExpectConversion(c.input, c.expected, c.options);
}

TEST(Scanner, EndsTheInputBeforeCtrlZ) {
  ExpectConversion(
      "BEGIN\x1a"
      "END",
      "begin", "");
  ExpectConversion(
      "\x1a"
      "BEGIN",
      "", "");
  ExpectConversion("BEG\x1aIN", "BEG", "");
  const std::string late = std::string(20000, ' ') + "BEGIN\x1a" + "END";
  ExpectConversion(late, std::string(20000, ' ') + "begin", "");
}

TEST(Scanner, TreatsWordsOfAnyLengthWhole) {
  const std::string word(300, 'w');
  std::string capitalised = word;
  capitalised[0] = 'W';
  ExpectConversion(word + " BEGIN", word + " begin", "");
  ExpectConversion(word + " BEGIN", capitalised + " begin", "F");
  ExpectConversion("'" + word + "' " + word, "'" + word + "' " + capitalised, "F");
  // A known word that a longer word begins with stays unknown across every block boundary.
  const std::string beginsKnown = "writeln" + std::string(40000, 'x');
  ExpectConversion(beginsKnown, beginsKnown, "");
  std::string capitalisedKnown = beginsKnown + " Y";
  capitalisedKnown[0] = 'W';
  ExpectConversion(beginsKnown + " y", capitalisedKnown, "F");
  // Known words right at a boundary, held back and completed by the next block.
  for (std::size_t spaces = 0; spaces < 40; ++spaces) {
    ExpectConversion(std::string(spaces, ' ') + "getdefaultpalette;writeln",
                     std::string(spaces, ' ') + "GetDefaultPalette;Writeln", "");
  }
}

// The echo shows every byte but carriage returns, each line feed after a carriage return of its
// own, known words in colour 9, and control bytes as glyphs.
TEST(Scanner, EchoesTheConvertedTextWithKnownWordsHighlighted) {
  ConsoleCapture console;
  ConvertInMemory("BEGIN x := 'BEGIN';\r\nmyVar\n\x1b[2J\a", {}, true);
  EXPECT_EQ(console.Take(),
            "\x1b[0;94mbegin\x1b[0m \x1b[0;94mX\x1b[0m := 'BEGIN';\r\nmyVar\r\n\u2190[2J");
  ConvertByCharacters("BEGIN", OptionsFromLetters("Q"));
  EXPECT_EQ(console.Take(), "");
}

// The block scanner against the character-at-a-time one: same output, same echo, on generated
// text of every flavour, under every option set, with block sizes that put boundaries everywhere.
TEST(Scanner, BlockScannerEqualsCharacterScanner) {
  ConsoleCapture console;
  std::uint64_t seed = 1;
  for (bool hostile : {false, true}) {
    for (std::string_view options : {"", "U", "F", "FR", "FU", "FRU", "R", "Q"}) {
      for (std::size_t blockSize :
           {std::size_t{18}, std::size_t{41}, std::size_t{1000}, kBlockSize}) {
        std::string input = GeneratePascalText(60000, ++seed, hostile);
        if (seed % 3 == 0) input[seed % input.size()] = '\x1a';
        const RunOptions run = OptionsFromLetters(options);
        SCOPED_TRACE(testing::Message()
                     << "seed " << seed << " options " << options << " blocks " << blockSize);
        const std::string expected = ConvertByCharacters(input, run);
        const std::string expectedEcho = console.Take();
        ASSERT_TRUE(SameText(ConvertInMemory(input, run, !run.OptQuiet, blockSize), expected));
        ASSERT_TRUE(SameText(console.Take(), expectedEcho));
      }
    }
  }
}

// Whatever the input: only the ASCII letter case of words outside strings and brace comments
// changes, nothing after a Ctrl-Z is kept, and a second conversion changes nothing.
TEST(Scanner, ChangesOnlyLetterCaseAndIsStable) {
  std::uint64_t seed = 100;
  for (bool hostile : {false, true}) {
    for (std::string_view options : {"", "U", "F", "FRU"}) {
      const std::string input = GeneratePascalText(100000, ++seed, hostile);
      const RunOptions run = OptionsFromLetters(options);
      const std::string output = ConvertInMemory(input, run, false);
      ASSERT_EQ(output.size(), input.size());
      bool inString = false, inBrace = false;
      for (std::size_t i = 0; i < input.size(); ++i) {
        const char in = input[i], out = output[i];
        if (in != out) {
          ASSERT_TRUE(IsWordChar(in) && UpperAscii(in) == UpperAscii(out)) << "at " << i;
          ASSERT_FALSE(inString || inBrace) << "changed inside quotes at " << i;
        }
        if (in == '\'' && !inBrace) inString = !inString;
        if (in == '{' && !inString) inBrace = true;
        if (in == '}' && !inString) inBrace = false;
      }
      ASSERT_EQ(ConvertInMemory(output, run, false), output) << "options " << options;
    }
  }
}

}  // namespace
