// The real binary in real directories: the console it shows under a pseudo-terminal, the files it
// leaves behind, and its exit statuses, also when the disk fills or permissions are missing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "console_capture.h"
#include "pascal_text.h"
#include "run_binary.h"
#include "temp_dir.h"

namespace {

const std::string kSource = "PROGRAM Demo;\r\nBEGIN textcolor(Yellow); Writeln('Hi {x}') END.\r\n";
const std::string kConverted =
    "program Demo;\r\nbegin TextColor(Yellow); Writeln('Hi {x}') end.\r\n";

BinaryResult RunIn(const TempDir& dir, std::vector<std::string> args, bool terminal = true) {
  BinaryRun run{.args = std::move(args), .dir = dir.path(), .terminal = terminal};
  BinaryResult result = RunBinary(run);
  result.out = ShowColours(result.out);
  return result;
}

TEST(Orvelt, ConvertsAFileKeepsABackupAndEchoesKnownWordsInLightBlue) {
  TempDir dir;
  dir.Write("prog.pas", kSource);
  const BinaryResult result = RunIn(dir, {"prog"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kBanner +
                            "<9>program<7> Demo;\r\n<9>begin<7> <9>TextColor<7>(<9>Yellow<7>); "
                            "<9>Writeln<7>('Hi {x}') <9>end<7>.\r\n\r\n" +
                            kEnd);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(dir.Read("prog.pas"), kConverted);
  EXPECT_EQ(dir.Read("prog.old"), kSource);
  EXPECT_EQ(dir.Listing(), "prog.old prog.pas");
}

TEST(Orvelt, ShowsTheUsageScreenWithoutParameters) {
  TempDir dir;
  const BinaryResult result = RunIn(dir, {});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            kBanner +
                "<15>Usage:<7> ORVELT <options> <drive><path>filename<.ext> <options>\r\n"
                "        < ... > denotes optional parameter\r\n"
                "        if <.ext> is not specified .pas is assumed\r\n"
                "        Note: Wildcards (*,?) are also allowed\r\n"
                "<15>Options:\r\n"
                "<7> -L --  (List) shows a listing of the words currently\r\n"
                "        recognized by this program after any other operation.\r\n"
                " -Q --  (Quiet) suppresses the program listing.\r\n"
                " -U --  (Uppercase) convert all reserved words to\r\n"
                "        uppercase, e.g. program ==> PROGRAM (the rest as usual).\r\n"
                " -R --  (Reserved) Used in combination with -F below.  Reserved\r\n"
                "        words will also be affected by the -F option below.\r\n"
                " -F --  (First) CAP the first letter of non-reserved words (unless -R is "
                "used).\r\n"
                " -D --  (Delete .old) will delete the .old version if operation was "
                "successful.\r\n"
                "Purpose: Changes Turbo Pascal 5.5 Source programs by altering each word's\r\n"
                "         case into its formal case for all reserved words as well as all "
                "other\r\n"
                "         known identifiers.  The original file will be saved under the same\r\n"
                "         name but with the extension \".old\". If a file with that name "
                "exists,\r\n"
                "         it will be replaced.  All occurrences of the known identifiers will "
                "be\r\n"
                "         affected.  NOTE: Comments within \"{\" and \"}\" and strings are "
                "NOT\r\n"
                "         affected.  Comments within \"(*\" and \"*)\" ARE affected.\r\n" +
                kEnd);
}

TEST(Orvelt, RefusesBadCommandLinesAndReportsMissingFiles) {
  struct Case {
    std::vector<std::string> args;
    std::string shown;  // after the banner
    int status;
  };
  const std::string dots = "\b\b\b\b\b\b\b\b\b\bDone!     \r\n";
  const Case cases[] = {
      {{"-x"}, "Unknown option \"-x\".  Try ORVELT for help.\r\n", 1},
      {{"-", "prog"}, "Unknown option \"- \".  Try ORVELT for help.\r\n", 1},
      {{"my-prog.pas"}, "Unknown option \"-p\".  Try ORVELT for help.\r\n", 1},
      {{"-Q", "-\x1b"}, "Unknown option \"-\u2190\".  Try ORVELT for help.\r\n", 1},
      {{"a.pas", "b.pas"}, "ERROR: Too many parameters.  Please try again.\r\n", 2},
      {{"-QL", "prog"}, "ERROR: Too many parameters.  Please try again.\r\n", 2},
      {{"my prog"}, "ERROR: Too many parameters.  Please try again.\r\n", 2},
      {{"missing"}, "\rERROR 18: No filename match\r\n\r\n", 0},
      {{"*.old"}, "\rERROR 18: No filename match\r\n\r\n", 0},
      {{"nodir/x"}, "\rERROR 3: Path not found\r\n\r\n", 0},
      {{"C:\\src\\prog"}, "\rERROR 3: Path not found\r\n\r\n", 0},
      {{"-q", "missing"}, "Working...\rERROR 18: No filename match\r\n" + dots + "\r\n", 0},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const BinaryResult result = RunIn(dir, c.args);
    EXPECT_EQ(result.out, kBanner + c.shown + kEnd) << c.args[0];
    EXPECT_EQ(result.status, c.status) << c.args[0];
  }
  EXPECT_EQ(dir.Listing(), "");
}

TEST(Orvelt, QuietRunShowsWorkingAndDoneButNoEcho) {
  TempDir dir;
  dir.Write("prog.pas", kSource);
  const BinaryResult result = RunIn(dir, {"prog", "-q"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kBanner + "Working...\b\b\b\b\b\b\b\b\b\bDone!     \r\n\r\n" + kEnd);
  EXPECT_EQ(dir.Read("prog.pas"), kConverted);
}

TEST(Orvelt, ShowsNothingWhenStandardOutputIsNotATerminal) {
  TempDir dir;
  dir.Write("prog.pas", kSource);
  const BinaryResult result = RunIn(dir, {"-U", "prog"}, /*terminal=*/false);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(dir.Read("prog.pas"), ExpectedFile(kSource, {.OptUppercase = true}));
}

TEST(Orvelt, LeavesColoursOutForNoColorAndDumbTerminals) {
  struct Case {
    std::string env;
    bool colours;
  };
  for (const Case& c : {Case{"NO_COLOR=1", false}, Case{"TERM=dumb", false},
                        Case{"NO_COLOR=", true}, Case{"TERM=vt100", true}}) {
    TempDir dir;
    dir.Write("prog.pas", kSource);
    BinaryRun run{.args = {"prog"}, .dir = dir.path(), .terminal = true, .env = {c.env}};
    const BinaryResult result = RunBinary(run);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.find('\x1b') != std::string::npos, c.colours) << c.env;
    const bool plainEcho =
        result.out.find("program Demo;\r\nbegin TextColor(Yellow)") != std::string::npos;
    EXPECT_EQ(plainEcho, !c.colours) << c.env;
  }
}

TEST(Orvelt, FindsFilesByTheSpecification) {
  struct Case {
    std::vector<std::string> files;  // written with kSource
    std::string spec;
    std::string listing;  // afterwards
    std::vector<std::string> converted;
  };
  const Case cases[] = {
      {{"prog.pas"}, "prog", "prog.old prog.pas", {"prog.pas"}},
      {{"prog.inc", "prog.pas"}, "prog.inc", "prog.inc prog.old prog.pas", {"prog.inc"}},
      {{"prog", "prog.pas"}, "prog.", "prog prog.old prog.pas", {"prog"}},
      {{"Prog.PAS"}, "prog", "Prog.PAS Prog.old", {"Prog.PAS"}},
      {{"A.pas", "B.pas", "c.inc"}, "*.pas", "A.old A.pas B.old B.pas c.inc", {"A.pas", "B.pas"}},
      {{"a?.pas", "ab.pas", "abc.pas"},
       "a?.pas",
       "a?.old a?.pas ab.old ab.pas abc.pas",
       {"a?.pas", "ab.pas"}},
      {{"averylongname1.pas", "averylongname2.pas"},
       "*",
       "averylongname1.old averylongname1.pas averylongname2.old averylongname2.pas",
       {"averylongname1.pas", "averylongname2.pas"}},
      {{"a:b.pas", "b.pas"}, "*.pas", "a:b.old a:b.pas b.old b.pas", {"a:b.pas", "b.pas"}},
      {{"x y.pas"}, "x?y", "x y.old x y.pas", {"x y.pas"}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    for (const auto& file : c.files)
      dir.Write(file, kSource);
    const BinaryResult result = RunIn(dir, {c.spec}, /*terminal=*/false);
    EXPECT_EQ(result.status, 0) << c.spec;
    EXPECT_EQ(dir.Listing(), c.listing) << c.spec;
    for (const auto& file : c.converted)
      EXPECT_EQ(dir.Read(file), kConverted) << file;
  }
}

TEST(Orvelt, ReplacesAnOldBackupAndSkipsBackupNames) {
  TempDir dir;
  dir.Write("a.older.pas", kSource);
  dir.Write("c.pas", "BEGIN");
  dir.Write("c.old", "an older backup");
  dir.Write("x.old", kSource);
  const BinaryResult result = RunIn(dir, {"*.*"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(
      result.out,
      kBanner +
          "<14>\rORVELT: Skipping over a.older.pas\r\n"
          "\rORVELT: Skipping over c.old\r\n<9>begin<14>\rORVELT: Skipping over x.old\r\n<7>\r\n" +
          kEnd);
  EXPECT_EQ(dir.Read("a.older.pas"), kSource);
  EXPECT_EQ(dir.Read("c.old"), "BEGIN");
  EXPECT_EQ(dir.Read("c.pas"), "begin");
  EXPECT_EQ(dir.Read("x.old"), kSource);
}

// prog.inc and prog.pas share the backup name prog.old. The run never deletes a backup that it
// made itself: the second rename fails as for any backup that cannot go, and stops the run with
// both originals kept.
TEST(Orvelt, NeverReplacesABackupMadeInTheSameRun) {
  TempDir dir;
  dir.Write("prog.inc", "BEGIN inc");
  dir.Write("prog.pas", kSource);
  const BinaryResult result = RunIn(dir, {"prog.*"}, /*terminal=*/false);
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err,
            "ORVELT: run-time error: rename prog.pas to prog.old failed: Access denied (5)\n");
  EXPECT_EQ(dir.Listing(), "prog.inc prog.old prog.pas");
  EXPECT_EQ(dir.Read("prog.inc"), "begin Inc");
  EXPECT_EQ(dir.Read("prog.old"), "BEGIN inc");
  EXPECT_EQ(dir.Read("prog.pas"), kSource);

  // Under -D each backup is gone before the next file needs its name.
  TempDir deleting;
  deleting.Write("prog.inc", "BEGIN inc");
  deleting.Write("prog.pas", kSource);
  EXPECT_EQ(RunIn(deleting, {"-d", "prog.*"}, /*terminal=*/false).status, 0);
  EXPECT_EQ(deleting.Listing(), "prog.inc prog.pas");
  EXPECT_EQ(deleting.Read("prog.inc"), "begin Inc");
  EXPECT_EQ(deleting.Read("prog.pas"), kConverted);
}

TEST(Orvelt, PassesOverHiddenAndNonRegularEntriesAndConvertsReadOnlyFiles) {
  TempDir dir;
  dir.Write(".hidden.pas", kSource);
  dir.Write("target.txt", kSource);
  dir.Write("ro.pas", kSource, 0444);
  dir.Write("exec.pas", kSource, 0751);
  ::mkdir((dir / "sub.pas").c_str(), 0755);
  ::mkfifo((dir / "fifo.pas").c_str(), 0644);
  ::symlink("target.txt", (dir / "link.pas").c_str());
  ::symlink("missing", (dir / "dangling.pas").c_str());
  const BinaryResult result = RunIn(dir, {"*.pas"}, /*terminal=*/false);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(dir.Read(".hidden.pas"), kSource);
  EXPECT_EQ(dir.Read("target.txt"), kSource);
  EXPECT_EQ(dir.Read("link.old"), kSource);
  EXPECT_EQ(dir.Read("link.pas"), kConverted);
  for (const auto& [name, mode] : {std::pair{"ro.pas", 0444}, std::pair{"exec.pas", 0751}}) {
    EXPECT_EQ(dir.Read(name), kConverted);
    struct stat status;
    ASSERT_EQ(::stat((dir / name).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, static_cast<mode_t>(mode)) << name;
  }
  EXPECT_EQ(dir.Listing(),
            ".hidden.pas dangling.pas exec.old exec.pas fifo.pas link.old link.pas ro.old ro.pas "
            "sub.pas target.txt");
}

TEST(Orvelt, TakesSlashesAndBackslashesAlike) {
  for (const std::string spec : {"sub/prog", "sub\\prog", "./sub\\prog.pas"}) {
    TempDir dir;
    ::mkdir((dir / "sub").c_str(), 0755);
    dir.Write("sub/prog.pas", kSource);
    EXPECT_EQ(RunIn(dir, {spec}, false).status, 0);
    EXPECT_EQ(dir.Read("sub/prog.pas"), kConverted) << spec;
    EXPECT_EQ(dir.Read("sub/prog.old"), kSource) << spec;
  }
}

TEST(Orvelt, DeletesTheBackupWithD) {
  TempDir dir;
  dir.Write("prog.pas", kSource);
  EXPECT_EQ(RunIn(dir, {"-d", "prog"}, false).status, 0);
  EXPECT_EQ(dir.Listing(), "prog.pas");
  EXPECT_EQ(dir.Read("prog.pas"), kConverted);
}

TEST(Orvelt, ConvertsLargeFilesAsTheCharacterScannerDoes) {
  const std::string input = GeneratePascalText(1 << 20, 42);
  for (const auto& [flag, options] :
       {std::pair{"-Q", RunOptions{}}, std::pair{"-F", RunOptions{.OptFirst = true}}}) {
    TempDir dir;
    dir.Write("big.pas", input);
    const BinaryResult result = RunIn(dir, {flag, "big"}, /*terminal=*/true);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(dir.Read("big.old"), input);
    EXPECT_EQ(dir.Read("big.pas"), ExpectedFile(input, options)) << flag;
  }
}

TEST(Orvelt, EndsWith217WhenTheDiskFillsAndKeepsTheOriginal) {
  const std::string input = GeneratePascalText(100000, 3);
  TempDir dir;
  dir.Write("prog.pas", input);
  BinaryRun run{.args = {"prog"}, .dir = dir.path(), .fileSizeLimit = 40000};
  const BinaryResult result = RunBinary(run);
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err,
            "ORVELT: run-time error: write to prog.pas failed: Disk write error (101)\n");
  EXPECT_EQ(dir.Read("prog.old"), input);
  EXPECT_EQ(dir.Read("prog.pas"), ExpectedFile(input).substr(0, 40000));
}

TEST(Orvelt, EndsWith217WhenTheBackupNameIsADirectory) {
  TempDir dir;
  dir.Write("prog.pas", kSource);
  ::mkdir((dir / "prog.old").c_str(), 0755);
  dir.Write("prog.old/keep", "x");
  const BinaryResult result = RunIn(dir, {"prog"}, false);
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err,
            "ORVELT: run-time error: rename prog.pas to prog.old failed: Access denied (5)\n");
  EXPECT_EQ(dir.Read("prog.pas"), kSource);
  EXPECT_EQ(dir.Read("prog.old/keep"), "x");
}

TEST(Orvelt, ChangesNothingWithoutPermission) {
  if (!CanRunAsNobody()) GTEST_SKIP() << "needs root to run as another user";
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);  // readable, not writable, for the other user
  dir.Write("prog.pas", kSource);
  dir.Write("secret.pas", kSource, 0600);
  BinaryRun run{.args = {"prog"}, .dir = dir.path(), .terminal = true, .asNobody = true};
  BinaryResult result = RunBinary(run);
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err,
            "ORVELT: run-time error: rename prog.pas to prog.old failed: Access denied (5)\n");
  run.args = {"secret"};
  result = RunBinary(run);
  EXPECT_EQ(result.status, 5);
  EXPECT_EQ(ShowColours(result.out), kBanner + "\rERROR 5: Access denied\r\n" + kEnd);
  EXPECT_EQ(dir.Listing(), "prog.pas secret.pas");
  EXPECT_EQ(dir.Read("prog.pas"), kSource);
}

}  // namespace
