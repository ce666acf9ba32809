// Runs a real binary for a test, orvelt or orvelt-filter: in a directory of the test's, with
// standard input from a pipe the test fills, standard output collected or on a pseudo-terminal of
// a given width (or on a path, or on a pipe nobody reads), optionally under a file-size limit or
// as an unprivileged user, and collects what it wrote and how it ended.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/run_options.h"

/// The binaries of the build.
inline constexpr const char* kOrvelt = ORVELT_BINARY;
inline constexpr const char* kOrveltFilter = ORVELT_FILTER_BINARY;

struct BinaryRun {
  std::vector<std::string> args = {};
  std::string binary = kOrvelt;
  std::string dir = ".";
  std::optional<std::string> input = {};  ///< Standard input, through a pipe; else /dev/null.
  bool terminal = false;                  ///< Standard output on a pseudo-terminal (in raw mode).
  std::string outputPath = {};            ///< Standard output opened from this path instead.
  bool closedPipe = false;                ///< Standard output on a pipe whose reader is gone.
  unsigned short width = 80;              ///< The terminal's width in cells.
  std::vector<std::string> env = {};     ///< "NAME=value" entries; they replace PATH or TERM=xterm.
  rlim_t fileSizeLimit = RLIM_INFINITY;  ///< RLIMIT_FSIZE, with SIGXFSZ ignored.
  bool asNobody = false;                 ///< Run as user and group 65534.
  unsigned timeLimit = 0;                ///< Seconds until SIGALRM kills a hung run (0: none).
  /// Called with the child's pid and its terminal output so far, each time more arrives.
  std::function<void(pid_t, std::string_view)> watch = {};
};

struct BinaryResult {
  int status = -1;      ///< The exit status, or 128 + the signal that killed the process.
  bool killed = false;  ///< Whether a signal killed it.
  std::string out;      ///< Standard output: the terminal's bytes under a pseudo-terminal.
  std::string err;      ///< Standard error.
};

/// The banner, as ShowColours shows it, that every run on a terminal starts with.
inline const std::string kBanner =
    "\r\n<15>ORVELT v1.17  Formal word case for Turbo Pascal 5.5 sources, 2022\r\n<7>\r\n";

/// What every end writes last: the cursor back at the start of its line, in colour 7.
inline const std::string kEnd = " \r";

/// The warning of a run that ended while an output file was being written, up to the end.
inline const std::string kWarning =
    "\r\n<132>WARNING:<15> Abnormal termination due to error or user interrupt.\r\n"
    "Output file may be incomplete.  Use \".OLD\" version to\r\n"
    "restore the original version.\r\n<7> \r";

/// Runs `run.binary` as `run` says and waits for it to end.
BinaryResult RunBinary(const BinaryRun& run);

/// Replaces each SGR sequence of `terminal` by the colour it selects, as "<n>"; any other escape
/// sequence shows as "<?>".
std::string ShowColours(std::string_view terminal);

/// The path of the program `name` in a directory of PATH; empty when there is none.
std::string FindProgram(std::string_view name);

/// Whether this process may run a child as another user (it is root).
bool CanRunAsNobody();

/// What a run with `options` writes into the file converted from `input`: the output of the
/// character scanner, the measure of the program's own.
std::string ExpectedFile(std::string_view input, RunOptions options = {});

/// Whether `text` ends with `end`.
bool EndsWith(std::string_view text, std::string_view end);
