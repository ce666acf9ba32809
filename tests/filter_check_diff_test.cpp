// orvelt-filter --check and --diff through the real binary: on a small tree with files the
// conversion changes, files it leaves as they are and files that cannot be read; the exact diff
// of small fixtures; colours and glyphs on a terminal; and diffs of generated text that patch
// turns into orvelt's conversion.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <span>
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
const std::string kSourceDiff =
    "@@ -1,2 +1,2 @@\n"
    "-PROGRAM Demo;\r\n"
    "-BEGIN textcolor(Yellow); Writeln('Hi {x}') END.\r\n"
    "+program Demo;\r\n"
    "+begin TextColor(Yellow); Writeln('Hi {x}') end.\r\n";

std::string Headers(const std::string& name) {
  return "--- a/" + name + "\n+++ b/" + name + "\n";
}

// A tree of a changed and an unchanged file, one more in a subdirectory, a file its reader may
// not open and a directory named as a source.
class Tree {
 public:
  Tree() {
    ::chmod(dir_.path().c_str(), 0755);  // for the other user
    dir_.Write("changed.pas", kSource);
    dir_.Write("clean.pas", kConverted);
    ::mkdir((dir_ / "sub").c_str(), 0755);
    dir_.Write("sub/deep.pas", "uses CRT;\n");
    // Root reads any file; the test then runs as an unprivileged user to be refused.
    dir_.Write("secret.pas", kSource, CanRunAsNobody() ? 0600 : 0000);
    ::mkdir((dir_ / "dir.pas").c_str(), 0755);
    listing_ = dir_.Listing();
  }

  BinaryResult Run(std::vector<std::string> args) const {
    return RunBinary({.args = std::move(args),
                      .binary = kOrveltFilter,
                      .dir = dir_.path(),
                      .asNobody = CanRunAsNobody()});
  }

  // Runs a command line of the shell, so that it expands the wildcards.
  BinaryResult Shell(const std::string& line) const {
    return RunBinary({.args = {"-c", std::string(kOrveltFilter) + " " + line},
                      .binary = "/bin/sh",
                      .dir = dir_.path(),
                      .asNobody = CanRunAsNobody()});
  }

  void ExpectUnchanged() const {
    EXPECT_EQ(dir_.Listing(), listing_);
    EXPECT_EQ(dir_.Read("changed.pas"), kSource);
    EXPECT_EQ(dir_.Read("clean.pas"), kConverted);
    EXPECT_EQ(dir_.Read("sub/deep.pas"), "uses CRT;\n");
  }

 private:
  TempDir dir_;
  std::string listing_;
};

const std::string kUnreadable =
    "orvelt-filter: secret.pas: Permission denied\norvelt-filter: dir.pas: Is a directory\n";

struct TreeCase {
  std::vector<std::string> args;
  int status;
  std::string out;
  std::string err;
};

void ExpectTreeCases(const Tree& tree, std::span<const TreeCase> cases) {
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const BinaryResult result = tree.Run(c.args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
  tree.ExpectUnchanged();
}

TEST(OrveltFilterCheck, NamesTheFilesTheConversionWouldChangeAndGoesOnAfterErrors) {
  const Tree tree;
  const TreeCase cases[] = {
      {{"--check", "clean.pas"}, 0, "", ""},
      {{"--check", "changed.pas", "clean.pas", "sub/deep.pas"},
       1,
       "changed.pas\nsub/deep.pas\n",
       ""},
      {{"--check", "-U", "clean.pas"}, 1, "clean.pas\n", ""},
      {{"--check", "secret.pas", "changed.pas", "dir.pas", "clean.pas"},
       2,
       "changed.pas\n",
       "orvelt-filter: secret.pas: Permission denied\norvelt-filter: dir.pas: Is a directory\n"},
      {{"--check", "clean.pas", "dir.pas"}, 2, "", "orvelt-filter: dir.pas: Is a directory\n"},
  };
  ExpectTreeCases(tree, cases);

  const BinaryResult globbed = tree.Shell("--check *.pas");
  EXPECT_EQ(globbed.status, 2);
  EXPECT_EQ(globbed.out, "changed.pas\n");
  EXPECT_EQ(
      globbed.err,
      "orvelt-filter: dir.pas: Is a directory\norvelt-filter: secret.pas: Permission denied\n");
}

TEST(OrveltFilterDiff, ShowsWhatWouldChangeWithTheStatusesOfCheck) {
  const Tree tree;
  const TreeCase cases[] = {
      {{"--diff", "clean.pas"}, 0, "", ""},
      {{"--diff", "changed.pas", "clean.pas", "sub/deep.pas"},
       1,
       Headers("changed.pas") + kSourceDiff + Headers("sub/deep.pas") +
           "@@ -1 +1 @@\n-uses CRT;\n+uses Crt;\n",
       ""},
      {{"--diff", "secret.pas", "changed.pas", "dir.pas"},
       2,
       Headers("changed.pas") + kSourceDiff,
       kUnreadable},
  };
  ExpectTreeCases(tree, cases);
}

TEST(OrveltFilterDiff, PairsLinesWithThreeLinesOfContext) {
  // Lines that no conversion changes, q1 and on, each after `mark`.
  const auto lines = [](std::string_view mark, int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i) {
      text += mark;
      text += 'q';
      text += std::to_string(i);
      text += '\n';
    }
    return text;
  };
  const auto plain = [&](int from, int to) { return lines("", from, to); };
  const auto context = [&](int from, int to) { return lines(" ", from, to); };
  struct Case {
    std::string what;
    std::vector<std::string> flags;
    std::string input;
    std::string hunks;  // after the headers; none when the conversion changes nothing
  };
  const Case cases[] = {
      {"nothing to change", {}, "program Demo;\r\n" + plain(1, 3), ""},
      {"a change in the middle",
       {},
       plain(1, 4) + "BEGIN\n" + plain(6, 10),
       "@@ -2,7 +2,7 @@\n" + context(2, 4) + "-BEGIN\n+begin\n" + context(6, 8)},
      {"changes six lines apart share a hunk, seven apart do not",
       {},
       "BEGIN\n" + plain(2, 7) + "END\n" + plain(9, 15) + "END\n" + plain(17, 20),
       "@@ -1,11 +1,11 @@\n-BEGIN\n+begin\n" + context(2, 7) + "-END\n+end\n" + context(9, 11) +
           "@@ -13,7 +13,7 @@\n" + context(13, 15) + "-END\n+end\n" + context(17, 19)},
      {"neighbouring changed lines",
       {"-U"},
       "q1\nbegin\nend\n",
       "@@ -1,3 +1,3 @@\n q1\n-begin\n-end\n+BEGIN\n+END\n"},
      {"CRLF line ends and no line end at the end",
       {},
       "x := 1;\r\ny := 2",
       "@@ -1,2 +1,2 @@\n-x := 1;\r\n-y := 2\n\\ No newline at end of file\n"
       "+X := 1;\r\n+Y := 2\n\\ No newline at end of file\n"},
      {"a Ctrl-Z drops the rest of its line and the lines after it",
       {},
       "BEGIN\nq2\nq3 \x1a END\nq4\n",
       "@@ -1,4 +1,3 @@\n-BEGIN\n+begin\n q2\n-q3 \x1a END\n-q4\n+q3 \n"
       "\\ No newline at end of file\n"},
      {"a Ctrl-Z at the start leaves no line",
       {},
       "\x1a"
       "BEGIN\n",
       "@@ -1 +0,0 @@\n-\x1a"
       "BEGIN\n"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.Write("f.pas", c.input);
    std::vector<std::string> args = c.flags;
    args.insert(args.begin(), "--diff");
    args.push_back("f.pas");
    const BinaryResult result =
        RunBinary({.args = args, .binary = kOrveltFilter, .dir = dir.path()});
    EXPECT_EQ(result.status, c.hunks.empty() ? 0 : 1);
    EXPECT_EQ(result.out, c.hunks.empty() ? "" : Headers("f.pas") + c.hunks);
    EXPECT_EQ(result.err, "");
  }
}

TEST(OrveltFilterDiff, ColoursOnATerminalAndShowsControlBytesAsGlyphs) {
  TempDir dir;
  dir.Write("f.pas", "BEGIN \x1b[2J\r\nq\r\n");
  const std::string coloured =
      "<4>--- a/f.pas<7>\n<2>+++ b/f.pas<7>\n<3>@@ -1,2 +1,2 @@<7>\n"
      "<4>-BEGIN \u2190[2J<7>\n<2>+begin \u2190[2J<7>\n q\n";
  const std::string plain =
      "--- a/f.pas\n+++ b/f.pas\n@@ -1,2 +1,2 @@\n-BEGIN \u2190[2J\n+begin \u2190[2J\n q\n";
  struct Case {
    std::string env;
    std::string shown;
  };
  for (const Case& c :
       {Case{"NO_COLOR=", coloured}, Case{"NO_COLOR=1", plain}, Case{"TERM=dumb", plain}}) {
    SCOPED_TRACE(c.env);
    const BinaryResult result = RunBinary({.args = {"--diff", "f.pas"},
                                           .binary = kOrveltFilter,
                                           .dir = dir.path(),
                                           .terminal = true,
                                           .env = {c.env}});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ShowColours(result.out), c.shown);
  }
}

TEST(OrveltFilterDiff, PatchTurnsTheSourceIntoOrveltsConversion) {
  const std::string patch = FindProgram("patch");
  if (patch.empty()) GTEST_SKIP() << "patch is not installed";
  for (const bool hostile : {false, true}) {
    SCOPED_TRACE(hostile ? "hostile" : "plain");
    std::string input = GeneratePascalText(200000, hostile ? 23 : 29, hostile);
    if (hostile) input[190000] = 26;
    TempDir dir;
    dir.Write("prog.pas", input);
    const BinaryResult diff = RunBinary(
        {.args = {"--diff", "-F", "prog.pas"}, .binary = kOrveltFilter, .dir = dir.path()});
    EXPECT_EQ(diff.status, 1);
    const BinaryResult patched = RunBinary({.args = {"-p1", "--binary", "--quiet"},
                                            .binary = patch,
                                            .dir = dir.path(),
                                            .input = diff.out});
    EXPECT_EQ(patched.status, 0) << patched.out << patched.err;
    EXPECT_TRUE(SameText(dir.Read("prog.pas"),
                         ConvertByCharacters(input, {.OptQuiet = true, .OptFirst = true})));
  }
}

}  // namespace
