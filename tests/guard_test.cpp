// The termination guard through the real binary: the warning after every end that leaves an
// output file unfinished, and the files it leaves, also when the run is interrupted.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "pascal_text.h"
#include "private_mount.h"
#include "run_binary.h"
#include "temp_dir.h"

namespace {

TEST(TerminationGuard, WarnsAfterTheDiskFilledAndTheOutputHoldsWhatFitted) {
  const std::string input = GeneratePascalText(100000, 3);
  TempDir dir;
  dir.Write("prog.pas", input);
  BinaryRun run{.args = {"prog"}, .dir = dir.path(), .terminal = true, .fileSizeLimit = 40000};
  const BinaryResult result = RunBinary(run);
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err,
            "ORVELT: run-time error: write to prog.pas failed: Disk write error (101)\n");
  EXPECT_TRUE(EndsWith(ShowColours(result.out), kWarning));
  EXPECT_EQ(dir.Read("prog.old"), input);
  EXPECT_EQ(dir.Read("prog.pas"), ExpectedFile(input).substr(0, 40000));
}

TEST(TerminationGuard, WarnsWhenTheOutputCannotBeCreated) {
  TempDir dir;
  ::mkdir((dir / "fs").c_str(), 0755);
  const PrivateTmpfs full(dir / "fs", "nr_inodes=2,size=1m");  // the root and one file
  if (!full.mounted()) GTEST_SKIP() << "needs the privilege to mount a tmpfs";
  dir.Write("fs/prog.pas", "BEGIN END.");
  BinaryRun run{.args = {"fs/prog"}, .dir = dir.path(), .terminal = true};
  const BinaryResult result = RunBinary(run);
  EXPECT_EQ(result.status, 101);
  EXPECT_EQ(ShowColours(result.out), kBanner + "\rERROR 101: Disk write error\r\n" + kWarning);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(dir.Read("fs/prog.old"), "BEGIN END.");
  EXPECT_FALSE(dir.Exists("fs/prog.pas"));
}

TEST(TerminationGuard, EndsAnInterruptedRunWithTheWarningAndAPrefixOfTheConversion) {
  const std::string input = GeneratePascalText(4 << 20, 11);
  const std::string converted = ExpectedFile(input);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    dir.Write("big.pas", input);
    BinaryRun run{.args = {"big"}, .dir = dir.path(), .terminal = true};
    bool sent = false;
    run.watch = [&](pid_t child, std::string_view shown) {
      // The echo lags the conversion by no more than the terminal's buffer: far from the end.
      if (!sent && shown.size() > 100000) sent = ::kill(child, signal) == 0;
    };
    const BinaryResult result = RunBinary(run);
    SCOPED_TRACE(strsignal(signal));
    EXPECT_FALSE(result.killed);
    EXPECT_EQ(result.status, 128 + signal);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(EndsWith(ShowColours(result.out), kWarning));
    EXPECT_EQ(dir.Read("big.old"), input);
    const std::string output = dir.Read("big.pas");
    EXPECT_LT(output.size(), input.size());
    EXPECT_EQ(output, converted.substr(0, output.size()));
  }
}

// A backup that someone else deleted before -D could: the failed deletion stays pending until the
// next open, which reports it, or the next console write, which fails on it.
TEST(TerminationGuard, APendingDeletionFailureEndsTheRunWithoutWarning) {
  const std::string input = GeneratePascalText(1 << 20, 5);
  for (bool secondFile : {true, false}) {
    TempDir dir;
    dir.Write("a.pas", input);
    if (secondFile) dir.Write("b.pas", "BEGIN");
    BinaryRun run{.args = {"-d", "*.pas"}, .dir = dir.path(), .terminal = true};
    run.watch = [&](pid_t, std::string_view) { ::unlink((dir / "a.old").c_str()); };
    const BinaryResult result = RunBinary(run);
    const std::string shown = ShowColours(result.out);
    EXPECT_EQ(dir.Read("a.pas"), ExpectedFile(input));
    if (secondFile) {
      EXPECT_EQ(result.status, 2);
      EXPECT_TRUE(EndsWith(shown, "\rERROR 2: File not found\r\n" + kEnd))
          << shown.substr(shown.size() - 200);
      EXPECT_EQ(dir.Listing(), "a.pas b.pas");
      EXPECT_EQ(dir.Read("b.pas"), "BEGIN");
    } else {
      EXPECT_EQ(result.status, 217);
      EXPECT_EQ(result.err,
                "ORVELT: run-time error: write to console failed: File not found (2)\n");
      EXPECT_EQ(dir.Listing(), "a.pas");
    }
    EXPECT_EQ(shown.find("WARNING"), std::string::npos);
  }
}

}  // namespace
