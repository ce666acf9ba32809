// This file implements the runs of the real binaries, over fork, a pseudo-terminal, pipes and
// memfds.
#include "run_binary.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "convert/reference_scanner.h"

namespace {

std::string ReadAll(int fd) {
  std::string bytes;
  ::lseek(fd, 0, SEEK_SET);
  char buffer[65536];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, got);
  return bytes;
}

// The child's standard input and output where they are not the memfd or the terminal: the
// descriptors the child takes over, -1 for the default.
struct ChildStreams {
  int in = -1;
  int out = -1;
};

[[noreturn]] void ExecChild(const BinaryRun& run, int errFd, ChildStreams streams) {
  ::dup2(errFd, STDERR_FILENO);
  if (streams.in >= 0) ::dup2(streams.in, STDIN_FILENO);
  if (!run.outputPath.empty()) streams.out = ::open(run.outputPath.c_str(), O_WRONLY);
  if (streams.out >= 0) ::dup2(streams.out, STDOUT_FILENO);
  ::signal(SIGPIPE, SIG_DFL);  // the test process ignores it, for its own writes into a pipe
  if (::chdir(run.dir.c_str()) != 0) ::_exit(120);
  if (run.fileSizeLimit != RLIM_INFINITY) {
    const rlimit limit{run.fileSizeLimit, run.fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);
  }
  if (run.asNobody &&
      (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
    ::_exit(121);
  }
  // A test's own entry replaces the default of the same name: with both, getenv sees the first.
  std::vector<std::string> env = run.env;
  for (const std::string defaults : {"PATH=/usr/bin:/bin", "TERM=xterm"}) {
    const std::string name = defaults.substr(0, defaults.find('=') + 1);
    if (std::ranges::none_of(env, [&](const std::string& e) { return e.starts_with(name); })) {
      env.push_back(defaults);
    }
  }
  std::vector<char*> envp;
  for (auto& entry : env)
    envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = {std::filesystem::path(run.binary).filename().string()};
  args.insert(args.end(), run.args.begin(), run.args.end());
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (run.timeLimit != 0) ::alarm(run.timeLimit);  // a pending alarm survives execve
  ::execve(run.binary.c_str(), argv.data(), envp.data());
  ::_exit(122);
}

// After the child has ended, everything it wrote is queued ahead of what the parent now writes
// through its own end of the terminal: reading up to this marker reads all of it. The console
// never writes these bytes (it paints control bytes as glyphs).
constexpr std::string_view kEndMarker("\0\x01\x02orvelt-end", 14);

// Reads the terminal until the child has ended and all it wrote has been read. The parent keeps
// the terminal open itself, so the kernel cannot drop output when the child closes its end.
void ReadTerminal(const BinaryRun& run, pid_t child, int master, int slave, std::string& out) {
  const int exited = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
  char buffer[65536];
  for (bool marked = false;;) {
    pollfd polled[2] = {{master, POLLIN, 0}, {exited, POLLIN, 0}};
    if (::poll(polled, marked ? 1 : 2, -1) < 0 && errno == EINTR) continue;
    if (polled[0].revents & POLLIN) {
      const ssize_t got = ::read(master, buffer, sizeof buffer);
      if (got > 0) out.append(buffer, got);
      if (run.watch) run.watch(child, out);
      if (marked && out.ends_with(kEndMarker)) {
        out.resize(out.size() - kEndMarker.size());
        break;
      }
    } else if (!marked && (polled[1].revents & POLLIN)) {
      marked = ::write(slave, kEndMarker.data(), kEndMarker.size()) ==
               static_cast<ssize_t>(kEndMarker.size());
      if (!marked) break;
    }
  }
  ::close(exited);
}

// Makes a pipe whose ends are closed on exec (the end a child takes over is duplicated).
std::array<int, 2> Pipe() {
  std::array<int, 2> ends = {-1, -1};
  if (::pipe2(ends.data(), O_CLOEXEC) != 0) ADD_FAILURE() << "pipe failed";
  return ends;
}

}  // namespace

BinaryResult RunBinary(const BinaryRun& run) {
  BinaryResult result;
  const int errFd = ::memfd_create("stderr", MFD_CLOEXEC);
  const bool collected = !run.terminal && run.outputPath.empty() && !run.closedPipe;
  const int outFd = collected ? ::memfd_create("stdout", MFD_CLOEXEC) : -1;
  ChildStreams streams;
  std::array<int, 2> inPipe = {-1, -1};
  if (run.input) {
    ::signal(SIGPIPE, SIG_IGN);  // a child that stops reading fails the writes, no more
    inPipe = Pipe();
    streams.in = inPipe[0];
  }
  if (run.closedPipe) {
    const std::array<int, 2> outPipe = Pipe();
    ::close(outPipe[0]);
    streams.out = outPipe[1];
  }
  int master = -1, slave = -1;
  if (run.terminal) {
    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 25;
    size.ws_col = run.width;
    if (::openpty(&master, &slave, nullptr, &raw, &size) != 0) {
      ADD_FAILURE() << "openpty failed";
      return result;
    }
  }
  const pid_t child = ::fork();
  if (child == 0) {
    if (run.terminal) {
      ::close(master);
      ::setsid();
      ::ioctl(slave, TIOCSCTTY, 0);
      ::dup2(slave, STDIN_FILENO);
      ::dup2(slave, STDOUT_FILENO);
      ::close(slave);
    } else {
      if (outFd >= 0) ::dup2(outFd, STDOUT_FILENO);
      const int null = ::open("/dev/null", O_RDONLY);
      ::dup2(null, STDIN_FILENO);
    }
  }
  if (child < 0) {
    ADD_FAILURE() << "fork failed";
    return result;
  }
  if (child == 0) ExecChild(run, errFd, streams);
  if (streams.out >= 0) ::close(streams.out);
  std::thread feeder;
  if (run.input) {
    ::close(inPipe[0]);
    feeder = std::thread([&run, fd = inPipe[1]] {
      std::string_view rest = *run.input;
      for (ssize_t written; !rest.empty() && (written = ::write(fd, rest.data(), rest.size())) > 0;)
        rest.remove_prefix(static_cast<std::size_t>(written));
      ::close(fd);
    });
  }

  if (run.terminal) {
    ReadTerminal(run, child, master, slave, result.out);
    ::close(master);
    ::close(slave);
  }
  int wait;
  while (::waitpid(child, &wait, 0) < 0 && errno == EINTR) {
  }
  if (feeder.joinable()) feeder.join();
  if (WIFEXITED(wait)) {
    result.status = WEXITSTATUS(wait);
  } else {
    result.killed = true;
    result.status = 128 + WTERMSIG(wait);
  }
  if (outFd >= 0) {
    result.out = ReadAll(outFd);
    ::close(outFd);
  }
  result.err = ReadAll(errFd);
  ::close(errFd);
  return result;
}

std::string ShowColours(std::string_view terminal) {
  static const std::map<std::string, std::string> kColours = [] {
    const std::array<int, 16> sgr = {30, 34, 32, 36, 31, 35, 33, 37,
                                     90, 94, 92, 96, 91, 95, 93, 97};
    const auto marker = [](int colour) {
      std::string shown = "<";
      shown += std::to_string(colour);
      shown += '>';
      return shown;
    };
    std::map<std::string, std::string> colours = {{"0", "<7>"}};
    for (int colour = 0; colour < 16; ++colour) {
      const std::string code = "0;" + std::to_string(sgr[colour]);
      colours[code] = marker(colour);
      colours[code + ";100"] = marker(colour + 128);
    }
    return colours;
  }();
  std::string shown;
  for (std::size_t i = 0; i < terminal.size();) {
    if (terminal.substr(i, 2) == "\x1b[") {
      const std::size_t end = terminal.find('m', i);
      const auto colour = end == std::string_view::npos
                              ? kColours.end()
                              : kColours.find(std::string(terminal.substr(i + 2, end - i - 2)));
      if (colour != kColours.end()) {
        shown += colour->second;
        i = end + 1;
        continue;
      }
      shown += "<?>";
      i += 2;
      continue;
    }
    shown += terminal[i++];
  }
  return shown;
}

std::string FindProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  std::string_view dirs = path != nullptr ? path : "/usr/bin:/bin";
  while (!dirs.empty()) {
    const std::size_t end = std::min(dirs.find(':'), dirs.size());
    const std::string_view dir = dirs.substr(0, end);
    dirs.remove_prefix(std::min(end + 1, dirs.size()));
    if (!dir.starts_with('/')) continue;  // a relative entry would depend on the test's directory
    const std::string candidate = std::string(dir) + "/" + std::string(name);
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool CanRunAsNobody() {
  return ::geteuid() == 0;
}

std::string ExpectedFile(std::string_view input, RunOptions options) {
  options.OptQuiet = true;
  return ConvertByCharacters(input, options);
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
