#include "run/run_main.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::string Line(std::vector<const char*> args) {
  return BuildParamLine(args);
}

TEST(BuildParamLine, JoinsArgumentsAndCutsAt255) {
  EXPECT_EQ(Line({}), "");
  EXPECT_EQ(Line({"-q", "prog"}), "-q prog ");
  EXPECT_EQ(Line({"my prog"}), "my prog ");
  const std::string longArg(300, 'a');
  EXPECT_EQ(Line({longArg.c_str()}), std::string(255, 'a'));
  const std::string almost(253, 'a');
  EXPECT_EQ(Line({almost.c_str(), "-q"}), almost + " -");
}

TEST(RemoveOptions, TakesOneLetterPerHyphenWhereverItStands) {
  struct Case {
    std::string_view line, rest;
    std::optional<char> unknown;
    std::string_view set;  // letters of the flags set
  };
  const Case cases[] = {
      {"-q prog ", "prog ", {}, "Q"},
      {"prog -q ", "prog ", {}, "Q"},
      {"-l prog ", "prog ", {}, "L"},
      {"-D -f -L -Q -R -U x ", "x ", {}, "DFLQRU"},
      {"-QL prog ", " prog ", {}, "Q"},
      {"-q -q prog ", "prog ", {}, "Q"},
      {"-L ", "", {}, "L"},
      {"my-prog.pas ", "my", 'p', ""},
      {"- prog ", "", ' ', ""},
      {"-u -x ", "", 'x', "U"},
      {"prog -", "prog ", ' ', ""},
      {"prog", "prog", {}, ""},
  };
  for (const Case& c : cases) {
    std::string line(c.line);
    RunOptions options;
    EXPECT_EQ(RemoveOptions(line, options), c.unknown) << c.line;
    if (!c.unknown) {
      EXPECT_EQ(line, c.rest) << c.line;
    }
    std::string set;
    if (options.OptDelete) set += 'D';
    if (options.OptFirst) set += 'F';
    if (options.OptList) set += 'L';
    if (options.OptQuiet) set += 'Q';
    if (options.OptReserved) set += 'R';
    if (options.OptUppercase) set += 'U';
    EXPECT_EQ(set, c.set) << c.line;
  }
}

TEST(CountParams, CountsSpaces) {
  EXPECT_EQ(CountParams(""), 0);
  EXPECT_EQ(CountParams("prog "), 1);
  EXPECT_EQ(CountParams(" prog "), 2);
  EXPECT_EQ(CountParams("a b c "), 3);
  EXPECT_EQ(CountParams(std::string(255, ' ')), 255);
}

}  // namespace
