// Fuzz target of the conversion engine: arbitrary bytes through the block scanner under every
// option set, with the invariants of a conversion checked on each input:
// - the output is the input up to its first byte 26, with only the ASCII letter case of word
//   characters changed, and only outside quoted strings and brace comments;
// - it is what the character-at-a-time scanner gives, and converting it again changes nothing;
// - the echo is the output without carriage returns, each line feed after a carriage return of
//   its own, every byte painted by the console's glyph rules, colour 9 exactly on the words the
//   case rules recognise, and nothing at all under -Q.
//
// The first input byte chooses how the text is fed (block sizes, short reads); the rest is the
// text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/glyphs.h"
#include "console_capture.h"
#include "convert/case_rules.h"
#include "convert/reference_scanner.h"
#include "convert/scanner.h"
#include "convert/word_tables.h"

namespace {

constexpr char kEndOfText = 26;
constexpr std::string_view kSgrNormal = "\x1b[0m";
constexpr std::string_view kSgrKnownWord = "\x1b[0;94m";

struct Feed {
  std::size_t blockSize;
  std::size_t largestRead;  // reads return at most this much, as a pipe may
};

// Each option set of an input reads in blocks of another size, so that one input puts its words
// at several places relative to the block ends.
Feed FeedOf(std::uint8_t choice, int optionSet) {
  Feed feed;
  feed.blockSize = choice & 0x80 ? kBlockSize : 18 + ((choice & 0x3F) + 11 * optionSet) % 64;
  feed.largestRead = choice & 0x40 ? 1 + (choice & 0x07) : std::numeric_limits<std::size_t>::max();
  return feed;
}

void Require(bool holds, const char* what, const RunOptions& options) {
  if (holds) return;
  std::fprintf(stderr, "engine invariant broken: %s (options%s%s%s%s)\n", what,
               options.OptUppercase ? " -U" : "", options.OptFirst ? " -F" : "",
               options.OptReserved ? " -R" : "", options.OptQuiet ? " -Q" : "");
  std::abort();
}

std::string Convert(std::string_view input, const RunOptions& options, Feed feed) {
  std::string output;
  std::size_t next = 0;
  bool emptyWrite = false;
  ConvertStream(
      {.read =
           [&](char* buffer, std::size_t capacity) {
             const std::size_t got = std::min({capacity, feed.largestRead, input.size() - next});
             std::memcpy(buffer, input.data() + next, got);
             next += got;
             return got;
           },
       .write =
           [&](std::string_view bytes) {
             emptyWrite |= bytes.empty();
             output += bytes;
           }},
      options, !options.OptQuiet, feed.blockSize);
  Require(!emptyWrite, "a write of no bytes", options);
  return output;
}

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += char(c);
  } else if (c < 0x800) {
    text += char(0xC0 | (c >> 6));
    text += char(0x80 | (c & 0x3F));
  } else {
    text += char(0xE0 | (c >> 12));
    text += char(0x80 | ((c >> 6) & 0x3F));
    text += char(0x80 | (c & 0x3F));
  }
}

// What the terminal receives for one byte of echoed text.
std::string PaintedAs(unsigned char c) {
  if (c == '\r' || c == '\a') return "";
  if (c == '\n') return "\r\n";
  if ((c >= 32 && c < 127) || c == '\b' || c == '\t') return std::string(1, char(c));
  std::string glyph;
  AppendUtf8(glyph, GlyphOf(c));
  return glyph;
}

// The conversion worked out word by word, with what the scanner may change and what it shows.
struct Expectation {
  std::string output;
  std::vector<bool> changeable;  // a word character outside strings and brace comments
  std::vector<bool> recognised;  // part of a word the case rules recognise
  std::string echo;
};

Expectation Expect(std::string_view text, const RunOptions& options) {
  text = text.substr(0, text.find(kEndOfText));
  Expectation expected{
      std::string(text), std::vector<bool>(text.size()), std::vector<bool>(text.size()), {}};
  std::string& output = expected.output;
  bool inString = false, inBraceComment = false;
  for (std::size_t at = 0; at < output.size();) {
    const char c = output[at];
    if (!IsWordChar(c)) {
      if (c == '\'' && !inBraceComment) inString = !inString;
      if (c == '{' && !inString) inBraceComment = true;
      if (c == '}' && !inString) inBraceComment = false;
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < output.size() && IsWordChar(output[end]))
      ++end;
    if (!inString && !inBraceComment) {
      const std::span<char> word(output.data() + at, end - at);
      const WordKnowledge knowledge = ClassifyBySearch({word.data(), word.size()});
      const bool known = ApplyCaseRules(word, knowledge, options);
      for (std::size_t i = at; i < end; ++i) {
        expected.changeable[i] = true;
        expected.recognised[i] = known;
      }
    }
    at = end;
  }
  if (options.OptQuiet) return expected;
  bool knownShown = false;  // the terminal starts in colour 7
  for (std::size_t i = 0; i < output.size(); ++i) {
    const std::string painted = PaintedAs(static_cast<unsigned char>(output[i]));
    if (painted.empty()) continue;  // what paints as nothing switches no colour
    if (expected.recognised[i] != knownShown) {
      knownShown = expected.recognised[i];
      expected.echo += knownShown ? kSgrKnownWord : kSgrNormal;
    }
    expected.echo += painted;
  }
  return expected;
}

// Bytes that differ must be one letter in two cases, at a place where a word may change.
bool OnlyLetterCaseChanged(std::string_view input, std::string_view output,
                           const std::vector<bool>& changeable) {
  if (output.size() != changeable.size()) return false;
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (output[i] == input[i]) continue;
    if (!changeable[i] || UpperAscii(output[i]) != UpperAscii(input[i])) return false;
  }
  return true;
}

ConsoleCapture& Console() {
  static ConsoleCapture console;
  return console;
}

void CheckOptions(std::string_view text, const RunOptions& options, Feed feed) {
  const Expectation expected = Expect(text, options);
  Console().Take();
  const std::string output = Convert(text, options, feed);
  const std::string echo = Console().Take();
  Require(OnlyLetterCaseChanged(text, output, expected.changeable),
          "only the letter case of words outside strings and brace comments changes", options);
  Require(output == expected.output, "each word as the case rules give it", options);
  Require(echo == expected.echo, "the echo paints the output, known words in colour 9", options);

  RunOptions quiet = options;
  quiet.OptQuiet = true;
  Require(ConvertByCharacters(text, quiet) == output, "as the character scanner", options);
  Require(Convert(output, quiet, feed) == output, "a second conversion changes nothing", options);
  Require(Console().Take().empty(), "nothing echoed under -Q", options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (int set = 0; set < 8; ++set) {
    const RunOptions options{
        .OptUppercase = (set & 1) != 0, .OptReserved = (set & 2) != 0, .OptFirst = (set & 4) != 0};
    CheckOptions(text, options, FeedOf(data[0], set));
  }
  CheckOptions(text, {.OptQuiet = true}, FeedOf(data[0], 8));
  return 0;
}
