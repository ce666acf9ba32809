// Real file-system faults through the real binary, and what they leave: a disk that fills at the
// first buffer, directories where another user may not rename, backup names that clash, an
// output name that someone takes while the run is between rename and creation, and signals at
// seeded moments of a run over many files. Every case checks the files byte for byte and the exit
// status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "pascal_text.h"
#include "private_mount.h"
#include "run_binary.h"
#include "temp_dir.h"

namespace {

constexpr uid_t kNobody = 65534;
const std::string kSource = "PROGRAM Demo;\r\nBEGIN textcolor(Yellow) END.\r\n";

TEST(FileFaults, ADiskFullAtTheFirstBufferKeepsTheOriginalAndWhatFitted) {
  const std::string input = GeneratePascalText(100000, 4);
  const std::string converted = ExpectedFile(input);
  // The limit holds for the run's standard error too, a memory file here: it takes the report.
  for (rlim_t limit : {rlim_t{100}, rlim_t{16384}, rlim_t{16385}}) {
    SCOPED_TRACE(limit);
    TempDir dir;
    dir.Write("prog.pas", input);
    const BinaryResult result = RunBinary(
        {.args = {"-q", "prog"}, .dir = dir.path(), .terminal = true, .fileSizeLimit = limit});
    EXPECT_EQ(result.status, 217);
    EXPECT_EQ(result.err,
              "ORVELT: run-time error: write to prog.pas failed: Disk write error (101)\n");
    EXPECT_TRUE(EndsWith(ShowColours(result.out), kWarning));
    EXPECT_EQ(dir.Read("prog.old"), input);
    EXPECT_EQ(dir.Read("prog.pas"), converted.substr(0, limit));
  }
}

TEST(FileFaults, AFullFileSystemKeepsTheOriginalAndWhatFitted) {
  TempDir dir;
  ::mkdir((dir / "fs").c_str(), 0755);
  const PrivateTmpfs small(dir / "fs", "size=256k");
  if (!small.mounted()) GTEST_SKIP() << "needs the privilege to mount a tmpfs";
  const std::string input = GeneratePascalText(200000, 6);
  dir.Write("fs/prog.pas", input);
  const BinaryResult result = RunBinary({.args = {"fs/prog"}, .dir = dir.path()});
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err,
            "ORVELT: run-time error: write to fs/prog.pas failed: Disk write error (101)\n");
  EXPECT_EQ(dir.Read("fs/prog.old"), input);
  const std::string output = dir.Read("fs/prog.pas");
  EXPECT_LT(output.size(), input.size());
  EXPECT_EQ(output, ExpectedFile(input).substr(0, output.size()));
}

// In a sticky directory only the owner of a name may rename or delete it: the source stays, and
// so does a backup that the user cannot delete.
TEST(FileFaults, ARenameRefusedInAStickyDirectoryChangesNothing) {
  if (!CanRunAsNobody()) GTEST_SKIP() << "needs root to run as another user";
  struct Case {
    const char* what;
    uid_t sourceOwner;
    bool rootOwnedBackup;
  };
  for (const Case& c : {Case{"the source is another user's", 0, false},
                        Case{"the old backup is another user's", kNobody, true}}) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ::chmod(dir.path().c_str(), 01777);
    dir.Write("prog.pas", kSource);
    ASSERT_EQ(::chown((dir / "prog.pas").c_str(), c.sourceOwner, c.sourceOwner), 0);
    if (c.rootOwnedBackup) dir.Write("prog.old", "an older backup");
    const BinaryResult result = RunBinary({.args = {"prog"}, .dir = dir.path(), .asNobody = true});
    EXPECT_EQ(result.status, 217);
    EXPECT_EQ(result.err,
              "ORVELT: run-time error: rename prog.pas to prog.old failed: Access denied (5)\n");
    EXPECT_EQ(dir.Read("prog.pas"), kSource);
    if (c.rootOwnedBackup) {
      EXPECT_EQ(dir.Listing(), "prog.old prog.pas");
      EXPECT_EQ(dir.Read("prog.old"), "an older backup");
    } else {
      EXPECT_EQ(dir.Listing(), "prog.pas");
    }
  }
}

// Letter case counts on Linux: PROG.OLD is a source, its backup PROG.old replaces the older one
// of that name, which the search had listed and now passes over as a backup name.
TEST(FileFaults, BackupNamesInOtherLetterCasesUnderEveryName) {
  TempDir dir;
  dir.Write("PROG.OLD", "BEGIN upper");
  dir.Write("PROG.old", "an older backup");
  dir.Write("prog.pas", kSource);
  const BinaryResult result = RunBinary({.args = {"*.*"}, .dir = dir.path(), .terminal = true});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(ShowColours(result.out),
            kBanner + "<9>begin<7> upper<14>\rORVELT: Skipping over PROG.old\r\n<9>program<7> " +
                "Demo;\r\n<9>begin<7> <9>TextColor<7>(<9>Yellow<7>) <9>end<7>.\r\n\r\n" + kEnd);
  EXPECT_EQ(dir.Listing(), "PROG.OLD PROG.old prog.old prog.pas");
  EXPECT_EQ(dir.Read("PROG.OLD"), "begin upper");
  EXPECT_EQ(dir.Read("PROG.old"), "BEGIN upper");
  EXPECT_EQ(dir.Read("prog.old"), kSource);
  EXPECT_EQ(dir.Read("prog.pas"), ExpectedFile(kSource));
}

// Holds every open of a file in a directory until this process answers it, and before answering
// the first open of the file named `trigger` runs `action`: a way to act at an exact point of
// another process's run. fanotify needs CAP_SYS_ADMIN; active() tells whether it is in place.
class OpenGate {
 public:
  OpenGate(const std::string& dir, std::string_view trigger, std::function<void()> action)
      : trigger_(std::string("/").append(trigger)), action_(std::move(action)) {
    fd_ = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
    if (fd_ < 0) return;
    if (::fanotify_mark(fd_, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD, AT_FDCWD,
                        dir.c_str()) != 0) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    thread_ = std::thread([this] { Answer(); });
  }
  ~OpenGate() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);  // allows whatever is still held
  }
  OpenGate(const OpenGate&) = delete;
  OpenGate& operator=(const OpenGate&) = delete;

  bool active() const { return fd_ >= 0; }
  bool triggered() const { return triggered_; }

 private:
  void Answer() {
    alignas(fanotify_event_metadata) char buffer[4096];
    while (!stop_) {
      pollfd ready{.fd = fd_, .events = POLLIN, .revents = 0};
      if (::poll(&ready, 1, 20) <= 0) continue;
      ssize_t size = ::read(fd_, buffer, sizeof buffer);
      for (auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
           FAN_EVENT_OK(event, size); event = FAN_EVENT_NEXT(event, size)) {
        if (event->fd < 0) continue;
        char path[4096] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(event->fd);
        const ssize_t length = ::readlink(link.c_str(), path, sizeof path - 1);
        if (!triggered_ && length > 0 && EndsWith(std::string_view(path, length), trigger_)) {
          action_();
          triggered_ = true;
        }
        const fanotify_response allow{.fd = event->fd, .response = FAN_ALLOW};
        static_cast<void>(::write(fd_, &allow, sizeof allow));
        ::close(event->fd);
      }
    }
  }

  std::string trigger_;
  std::function<void()> action_;
  int fd_ = -1;
  std::atomic<bool> stop_ = false;
  std::atomic<bool> triggered_ = false;
  std::thread thread_;
};

// As on a file system that folds letter case, where the output name can be taken by another
// name: here the output name appears while the source, just renamed to its backup, is reopened.
// The exclusive creation refuses it; the backup keeps the original, the intruder stays.
TEST(FileFaults, AnOutputNameTakenBeforeCreationIsRefusedWithCode5) {
  TempDir dir;
  dir.Write("prog.pas", kSource);
  ::mkdir((dir / "stash").c_str(), 0755);
  dir.Write("stash/intruder", "not to be truncated");
  const OpenGate gate(dir.path(), "prog.old", [&] {
    // A rename opens nothing, so it raises no event of its own.
    ASSERT_EQ(::rename((dir / "stash/intruder").c_str(), (dir / "prog.pas").c_str()), 0);
  });
  if (!gate.active()) GTEST_SKIP() << "needs fanotify permission events (CAP_SYS_ADMIN)";
  const BinaryResult result =
      RunBinary({.args = {"prog"}, .dir = dir.path(), .terminal = true, .timeLimit = 20});
  EXPECT_TRUE(gate.triggered());
  EXPECT_EQ(result.status, 5);
  EXPECT_EQ(ShowColours(result.out), kBanner + "\rERROR 5: Access denied\r\n" + kWarning);
  EXPECT_EQ(dir.Listing(), "prog.old prog.pas stash");
  EXPECT_EQ(dir.Read("prog.old"), kSource);
  EXPECT_EQ(dir.Read("prog.pas"), "not to be truncated");
}

// A signal at a seeded moment of a run over many files: every file is untouched, or converted
// with its backup, or (at most one, and then the warning shows) its backup holds the original and
// the output holds a prefix of the conversion.
TEST(FileFaults, SignalsAtSeededMomentsLeaveEveryFileWholeOrBackedUp) {
  constexpr int kFiles = 12;
  std::vector<std::string> names, inputs, converted;
  std::size_t total = 0;
  for (int i = 0; i < kFiles; ++i) {
    names.push_back(std::string("f").append(std::to_string(10 + i)));
    inputs.push_back(GeneratePascalText(4000 + 9000 * (i % 5), 100 + i));
    converted.push_back(ExpectedFile(inputs.back()));
    total += inputs.back().size();
  }
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  for (std::uint64_t seed = 1; seed <= 6; ++seed) {
    std::mt19937_64 engine(seed);
    const int signal = signals[seed % 3];
    const std::size_t moment = kBanner.size() + engine() % (total * 9 / 10);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << strsignal(signal) << " after "
                                    << moment << " bytes shown");
    TempDir dir;
    for (int i = 0; i < kFiles; ++i)
      dir.Write(names[i] + ".pas", inputs[i]);
    BinaryRun run{.args = {"*.pas"}, .dir = dir.path(), .terminal = true, .timeLimit = 60};
    run.watch = [&, sent = false](pid_t child, std::string_view shown) mutable {
      if (!sent && shown.size() >= moment) sent = ::kill(child, signal) == 0;
    };
    const BinaryResult result = RunBinary(run);
    EXPECT_FALSE(result.killed);
    const bool warned = EndsWith(ShowColours(result.out), kWarning);

    enum State { Converted, Interrupted, Untouched };  // the order they must come in
    std::vector<State> states;
    for (int i = 0; i < kFiles; ++i) {
      SCOPED_TRACE(names[i]);
      const std::string source = names[i] + ".pas", backup = names[i] + ".old";
      if (!dir.Exists(backup)) {
        EXPECT_EQ(dir.Read(source), inputs[i]);
        states.push_back(Untouched);
        continue;
      }
      EXPECT_EQ(dir.Read(backup), inputs[i]);
      const std::string output = dir.Exists(source) ? dir.Read(source) : "";
      EXPECT_EQ(output, converted[i].substr(0, output.size()));
      states.push_back(output == converted[i] ? Converted : Interrupted);
    }
    EXPECT_TRUE(std::ranges::is_sorted(states));
    EXPECT_LE(std::ranges::count(states, Interrupted), 1);
    // A run stopped after the last write of a file but before closing it warns all the same.
    if (std::ranges::count(states, Interrupted) == 1) {
      EXPECT_TRUE(warned);
    }
    if (result.status == 0) {
      EXPECT_EQ(std::ranges::count(states, Converted), kFiles) << "ended before the signal";
      EXPECT_FALSE(warned);
    } else {
      EXPECT_EQ(result.status, 128 + signal);
    }
  }
}

}  // namespace
