// This file implements the runs of the real binary, over fork, a pseudo-terminal and memfds.
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

#include <array>
#include <cerrno>
#include <map>

namespace {

std::string ReadAll(int fd) {
  std::string bytes;
  ::lseek(fd, 0, SEEK_SET);
  char buffer[65536];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, got);
  return bytes;
}

[[noreturn]] void ExecChild(const BinaryRun& run, int errFd) {
  ::dup2(errFd, STDERR_FILENO);
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
  std::vector<std::string> env = run.env;  // first, so that they override the defaults
  env.insert(env.end(), {"PATH=/usr/bin:/bin", "TERM=xterm"});
  std::vector<char*> envp;
  for (auto& entry : env)
    envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = {"orvelt"};
  args.insert(args.end(), run.args.begin(), run.args.end());
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execve(ORVELT_BINARY, argv.data(), envp.data());
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

}  // namespace

BinaryResult RunOrvelt(const BinaryRun& run) {
  BinaryResult result;
  const int errFd = ::memfd_create("stderr", MFD_CLOEXEC);
  const int outFd = run.terminal ? -1 : ::memfd_create("stdout", MFD_CLOEXEC);
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
  if (child < 0) {
    ADD_FAILURE() << "fork failed";
    return result;
  }
  if (child == 0) {
    if (run.terminal) {
      ::close(master);
      ::setsid();
      ::ioctl(slave, TIOCSCTTY, 0);
      ::dup2(slave, STDIN_FILENO);
      ::dup2(slave, STDOUT_FILENO);
      ::close(slave);
    } else {
      ::dup2(outFd, STDOUT_FILENO);
      const int null = ::open("/dev/null", O_RDONLY);
      ::dup2(null, STDIN_FILENO);
    }
    ExecChild(run, errFd);
  }

  if (run.terminal) {
    ReadTerminal(run, child, master, slave, result.out);
    ::close(master);
    ::close(slave);
  }
  int wait;
  while (::waitpid(child, &wait, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wait)) {
    result.status = WEXITSTATUS(wait);
  } else {
    result.killed = true;
    result.status = 128 + WTERMSIG(wait);
  }
  if (!run.terminal) {
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

bool CanRunAsNobody() {
  return ::geteuid() == 0;
}
