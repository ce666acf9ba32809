// orvelt-filter through the real binary: its output against the file orvelt converts, from
// files, standard input and "-"; its command line; inputs it cannot read and output it cannot
// write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "convert/reference_scanner.h"
#include "pascal_text.h"
#include "run_binary.h"
#include "same_text.h"
#include "temp_dir.h"

namespace {

const std::string kSource = "PROGRAM Demo;\r\nBEGIN textcolor(Yellow); Writeln('Hi {x}') END.\r\n";
const std::string kConverted =
    "program Demo;\r\nbegin TextColor(Yellow); Writeln('Hi {x}') end.\r\n";

std::vector<std::string> Joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// What orvelt leaves as the converted file of `input` when run with `flags`.
std::string ConvertedByOrvelt(const std::string& input, const std::vector<std::string>& flags) {
  TempDir dir;
  dir.Write("prog.pas", input);
  const BinaryResult result = RunBinary({.args = Joined(flags, {"prog"}), .dir = dir.path()});
  EXPECT_EQ(result.status, 0);
  return dir.Read("prog.pas");
}

TEST(OrveltFilter, WritesWhatOrveltWritesIntoTheConvertedFile) {
  const std::vector<std::vector<std::string>> flagSets = {
      {}, {"-U"}, {"-F"}, {"-R"}, {"-U", "-F"}, {"-U", "-R"}, {"-F", "-R"}, {"-U", "-F", "-R"}};
  for (const bool hostile : {false, true}) {
    std::string input = GeneratePascalText(100000, hostile ? 17 : 5, hostile);
    if (hostile) input[80000] = 26;  // the conversion ends before a Ctrl-Z
    TempDir dir;
    dir.Write("src.pas", input);
    for (const auto& flags : flagSets) {
      SCOPED_TRACE(testing::Message() << (hostile ? "hostile" : "plain") << " text with "
                                      << testing::PrintToString(flags));
      const BinaryResult result = RunBinary(
          {.args = Joined(flags, {"src.pas"}), .binary = kOrveltFilter, .dir = dir.path()});
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(result.err, "");
      EXPECT_TRUE(SameText(result.out, ConvertedByOrvelt(input, flags)));
    }
    EXPECT_EQ(dir.Listing(), "src.pas");
    EXPECT_EQ(dir.Read("src.pas"), input);
  }
}

TEST(OrveltFilter, ReadsStandardInputWithoutFilesAndForADash) {
  const std::string piped = GeneratePascalText(256 << 10, 9);  // more than a pipe holds
  const std::string pipedConverted = ConvertByCharacters(piped, {.OptQuiet = true});
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {{}, pipedConverted},
      {{"-"}, pipedConverted},
      {{"-U", "--", "-"}, ConvertByCharacters(piped, {.OptQuiet = true, .OptUppercase = true})},
      {{"a.pas", "-", "a.pas"}, kConverted + pipedConverted + kConverted},
      {{"a.pas"}, kConverted},  // standard input is left unread
  };
  TempDir dir;
  dir.Write("a.pas", kSource);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const BinaryResult result =
        RunBinary({.args = c.args, .binary = kOrveltFilter, .dir = dir.path(), .input = piped});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(SameText(result.out, c.out));
  }
}

TEST(OrveltFilter, TakesOptionsAndFilesAsLinuxToolsDoAndRefusesUnknownOptions) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::string unknown = "orvelt-filter: unknown option ";
  const std::string help = "Usage: orvelt-filter [-U] [-F] [-R] [FILE...]\n";
  const Case cases[] = {
      {{"--help"}, 0, help, ""},
      {{"--version"}, 0, "orvelt-filter 1.17\n", ""},
      {{"a.pas", "-U"},
       0,
       "PROGRAM Demo;\r\nBEGIN TextColor(Yellow); Writeln('Hi {x}') END.\r\n",
       ""},
      {{"-FRU", "a.pas"},
       0,
       "PROGRAM Demo;\r\nBEGIN Textcolor(Yellow); Writeln('Hi {x}') END.\r\n",
       ""},
      {{"-x", "a.pas"}, 2, "", unknown + "'-x' (see orvelt-filter --help)\n"},
      {{"-UQ", "a.pas"}, 2, "", unknown + "'-Q' (see orvelt-filter --help)\n"},
      {{"-u", "a.pas"}, 2, "", unknown + "'-u' (see orvelt-filter --help)\n"},
      {{"--colour", "a.pas"}, 2, "", unknown + "'--colour' (see orvelt-filter --help)\n"},
      {{"--check", "--diff", "a.pas"},
       2,
       "",
       "orvelt-filter: --check and --diff cannot be combined\n"},
      {{"--", "-U"}, 2, "", "orvelt-filter: -U: No such file or directory\n"},
      {{"missing.pas", "a.pas"},
       2,
       kConverted,
       "orvelt-filter: missing.pas: No such file or directory\n"},
      {{"sub", "a.pas"}, 2, kConverted, "orvelt-filter: sub: Is a directory\n"},
  };
  TempDir dir;
  dir.Write("a.pas", kSource);
  ::mkdir((dir / "sub").c_str(), 0755);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const BinaryResult result =
        RunBinary({.args = c.args, .binary = kOrveltFilter, .dir = dir.path()});
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(c.args[0] == "--help" ? result.out.substr(0, help.size()) : result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
  EXPECT_EQ(dir.Read("a.pas"), kSource);
}

TEST(OrveltFilter, FailsWithStatus2WhenStandardOutputIsLost) {
  const std::string input = GeneratePascalText(100000, 3);
  struct Case {
    std::vector<std::string> args;
    BinaryRun output;
    std::string reason;
  };
  TempDir dir;
  dir.Write("prog.pas", input);
  dir.Write("out", "");
  const Case cases[] = {
      {{"prog.pas"}, {.outputPath = "/dev/full"}, "No space left on device"},
      {{"prog.pas"}, {.closedPipe = true}, "Broken pipe"},
      {{"prog.pas"}, {.outputPath = dir / "out", .fileSizeLimit = 40000}, "File too large"},
      {{"--check", "prog.pas"}, {.outputPath = "/dev/full"}, "No space left on device"},
      {{"--diff", "prog.pas"}, {.closedPipe = true}, "Broken pipe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args) + " " + c.reason);
    BinaryRun run = c.output;
    run.args = c.args;
    run.binary = kOrveltFilter;
    run.dir = dir.path();
    const BinaryResult result = RunBinary(run);
    EXPECT_EQ(result.status, 2);
    EXPECT_FALSE(result.killed);
    EXPECT_EQ(result.err, "orvelt-filter: standard output: " + c.reason + "\n");
  }
  EXPECT_EQ(dir.Read("out"), ConvertByCharacters(input, {.OptQuiet = true}).substr(0, 40000));
}

}  // namespace
