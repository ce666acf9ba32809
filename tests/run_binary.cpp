// This file implements the runs of the real binary, over fork, a pseudo-terminal and memfds.
#include "run_binary.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <map>

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
  // The test's entries come first: getenv takes the first of a name, so they override these.
  std::vector<std::string> env = run.env;
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
  if (run.timeLimit != 0) ::alarm(run.timeLimit);  // a pending alarm survives execve
  ::execve(ORVELT_BINARY, argv.data(), envp.data());
  ::_exit(122);
}

}  // namespace

BinaryResult RunOrvelt(const BinaryRun& run) {
  BinaryResult result;
  const int errFd = ::memfd_create("stderr", MFD_CLOEXEC);
  const int outFd = run.terminal ? -1 : ::memfd_create("stdout", MFD_CLOEXEC);
  int master = -1;
  pid_t child;
  if (run.terminal) {
    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 25;
    size.ws_col = run.width;
    child = ::forkpty(&master, nullptr, &raw, &size);
  } else {
    child = ::fork();
    if (child == 0) {
      ::dup2(outFd, STDOUT_FILENO);
      const int null = ::open("/dev/null", O_RDONLY);
      ::dup2(null, STDIN_FILENO);
    }
  }
  if (child < 0) {
    ADD_FAILURE() << "fork failed";
    return result;
  }
  if (child == 0) ExecChild(run, errFd);

  if (run.terminal) {
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(master, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;  // EIO once the child has closed the terminal
      result.out.append(buffer, got);
      if (run.watch) run.watch(child, result.out);
    }
    ::close(master);
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

std::string ExpectedFile(std::string_view input, RunOptions options) {
  options.OptQuiet = true;
  return ConvertByCharacters(input, options);
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
