// The whole-program benchmark: times the real orvelt binary against dd and cat doing the same
// reads and writes with no work between them, measures its peak memory, and times runs over
// many files. It builds its inputs itself, deterministically, in a scratch directory on the disk
// of $TMPDIR (or /tmp), and prints one line per figure with the commands it timed.
//
//   orvelt_system_benchmark ORVELT_BINARY [RUNS]
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pascal_text.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;

enum class Output { DevNull, Terminal };

struct Measurement {
  double seconds = 0;
  long peakKiB = 0;
  int status = -1;
};

[[noreturn]] void Die(const std::string& message) {
  std::fprintf(stderr, "orvelt_system_benchmark: %s\n", message.c_str());
  std::exit(2);
}

// Writes `size` bytes of generated Pascal text to `path`, a MiB at a time.
void WriteSource(const std::string& path, std::size_t size, std::uint64_t seed) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Die("cannot create " + path);
  for (std::size_t done = 0; done < size; done += kMiB) {
    const std::string text = GeneratePascalText(std::min(kMiB, size - done), seed + done / kMiB);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) Die("cannot write " + path);
  }
  std::fclose(file);
}

// Runs `args` in `dir` with standard output on /dev/null or on a pseudo-terminal that is
// drained as fast as it fills; returns the wall time and the peak resident memory.
Measurement Run(const std::vector<std::string>& args, const std::string& dir, Output output) {
  std::vector<char*> argv;
  for (const auto& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  int master = -1;
  const pid_t child =
      output == Output::Terminal ? ::forkpty(&master, nullptr, nullptr, nullptr) : ::fork();
  if (child < 0) Die("cannot fork");
  if (child == 0) {
    if (output == Output::DevNull) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, STDOUT_FILENO);
    }
    if (::chdir(dir.c_str()) != 0) ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (master >= 0) {
    static std::vector<char> drain(kMiB);
    while (::read(master, drain.data(), drain.size()) > 0) {
    }
    ::close(master);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128};
}

double Median(std::vector<double> values) {
  std::ranges::sort(values);
  return values[values.size() / 2];
}

void Rename(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) Die("cannot rename " + from);
}

// Times `orvelt` on dir/name.pas against `other` (which reads name.pas), alternately; orvelt's
// backup is renamed back each time, so every run reads the same original text.
std::pair<double, double> Alternate(const std::vector<std::string>& orvelt,
                                    const std::vector<std::string>& other, const std::string& dir,
                                    const std::string& name, Output output, int runs) {
  std::vector<double> orveltTimes, otherTimes;
  for (int run = 0; run < runs; ++run) {
    const Measurement converted = Run(orvelt, dir, output);
    if (converted.status != 0) Die("orvelt failed with status " + std::to_string(converted.status));
    orveltTimes.push_back(converted.seconds);
    Rename(dir + "/" + name + ".old", dir + "/" + name + ".pas");
    otherTimes.push_back(Run(other, dir, output).seconds);
    std::filesystem::remove(dir + "/copy.out");
  }
  return {Median(orveltTimes), Median(otherTimes)};
}

void PrintRatio(const char* figure, const char* what, std::pair<double, double> medians,
                const char* otherName, const std::string& commands, int runs) {
  std::printf("%s %s: orvelt %.3f s, %s %.3f s, ratio %.2f (medians of %d; %s)\n", figure, what,
              medians.first, otherName, medians.second, medians.first / medians.second, runs,
              commands.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) Die("usage: orvelt_system_benchmark ORVELT_BINARY [RUNS]");
  const std::string orvelt = std::filesystem::absolute(argv[1]).string();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = std::string(tmp != nullptr ? tmp : "/tmp") + "/orvelt-bench-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr) Die("cannot make a scratch directory");
  const std::string dd = "/bin/dd", cat = "/bin/cat";

  WriteSource(dir + "/big.pas", 128 * kMiB, 1);
  const std::vector<std::string> copy = {dd, "if=big.pas", "of=copy.out", "bs=16384",
                                         "status=none"};
  PrintRatio("[1]", "128 MiB, orvelt -Q against dd",
             Alternate({orvelt, "-Q", "big"}, copy, dir, "big", Output::DevNull, runs), "dd",
             "orvelt -Q big; dd if=big.pas of=copy.out bs=16384", runs);
  PrintRatio("[2]", "128 MiB, orvelt with standard output not a terminal, against dd",
             Alternate({orvelt, "big"}, copy, dir, "big", Output::DevNull, runs), "dd",
             "orvelt big >/dev/null; dd if=big.pas of=copy.out bs=16384", runs);
  std::filesystem::remove(dir + "/big.pas");

  WriteSource(dir + "/echo.pas", 16 * kMiB, 2);
  PrintRatio("[3]", "16 MiB echoed to a pseudo-terminal, against cat",
             Alternate({orvelt, "echo"}, {cat, "echo.pas"}, dir, "echo", Output::Terminal, runs),
             "cat", "orvelt echo >pty; cat echo.pas >pty", runs);
  std::filesystem::remove(dir + "/echo.pas");

  std::vector<long> peaks;
  for (const std::size_t size : {kMiB, 128 * kMiB, 1024 * kMiB}) {
    WriteSource(dir + "/mem.pas", size, 3);
    const Measurement measured = Run({orvelt, "-Q", "mem"}, dir, Output::DevNull);
    peaks.push_back(measured.peakKiB);
    std::printf("[4] peak resident memory, %zu MiB: %ld KiB (orvelt -Q mem)\n", size / kMiB,
                measured.peakKiB);
    std::fflush(stdout);
    std::filesystem::remove(dir + "/mem.pas");
    std::filesystem::remove(dir + "/mem.old");
  }
  std::printf("[4] peak for 1 GiB minus peak for 1 MiB: %ld KiB\n", peaks.back() - peaks.front());

  std::vector<double> manyTimes;
  for (const int files : {1000, 10000}) {
    std::vector<double> times;
    for (int run = 0; run < std::min(runs, 3); ++run) {
      const std::string many = dir + "/many";
      std::filesystem::remove_all(many);
      std::filesystem::create_directory(many);
      for (int i = 0; i < files; ++i) {
        WriteSource(many + "/f" + std::to_string(i) + ".pas", 2048, 1000 + i);
      }
      ::sync();
      times.push_back(Run({orvelt, "-Q", "*.pas"}, many, Output::DevNull).seconds);
    }
    manyTimes.push_back(Median(times));
    std::printf("[5] %d files of 2 KiB: %.3f s (orvelt -Q '*.pas', median of %zu)\n", files,
                manyTimes.back(), times.size());
    std::fflush(stdout);
  }
  std::printf("[5] 10,000 files against 1,000: ratio %.2f\n", manyTimes[1] / manyTimes[0]);
  std::filesystem::remove_all(dir);
}
