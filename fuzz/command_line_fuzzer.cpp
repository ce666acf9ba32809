// Fuzz target of the command line: arbitrary argument vectors (the input split at its NUL bytes,
// which no argument can hold) through the parameter line, option removal and parameter count,
// against a one-pass model of them: the line is every argument followed by one space, cut at 255
// characters; from the left, each "-" takes itself, the letter after it (a space when the line
// ends there) and one more character, and the first letter that is no option stops the removal.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/run_main.h"

namespace {

constexpr std::size_t kLongestParamLine = 255;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "command line invariant broken: %s\n", what);
  std::abort();
}

bool* FlagOf(char letter, RunOptions& options) {
  switch (letter | 0x20) {  // both letter cases
    case 'd':
      return &options.OptDelete;
    case 'f':
      return &options.OptFirst;
    case 'l':
      return &options.OptList;
    case 'q':
      return &options.OptQuiet;
    case 'r':
      return &options.OptReserved;
    case 'u':
      return &options.OptUppercase;
    default:
      return nullptr;
  }
}

bool SameOptions(const RunOptions& a, const RunOptions& b) {
  return a.OptList == b.OptList && a.OptQuiet == b.OptQuiet && a.OptUppercase == b.OptUppercase &&
         a.OptReserved == b.OptReserved && a.OptFirst == b.OptFirst && a.OptDelete == b.OptDelete;
}

int Spaces(std::string_view text) {
  int spaces = 0;
  for (char c : text)
    spaces += c == ' ';
  return spaces;
}

struct Removal {
  std::string rest;
  RunOptions options;
  std::optional<char> unknown;
};

Removal RemoveInOnePass(std::string_view line) {
  Removal removal;
  for (std::size_t at = 0; at < line.size();) {
    if (line[at] != '-') {
      removal.rest += line[at++];
      continue;
    }
    const char letter = at + 1 < line.size() ? line[at + 1] : ' ';
    bool* flag = FlagOf(letter, removal.options);
    if (flag == nullptr) {
      removal.unknown = letter;
      break;
    }
    *flag = true;
    at += 3;
  }
  return removal;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  for (std::size_t at = 0; at <= input.size();) {
    const std::size_t nul = std::min(input.find('\0', at), input.size());
    args.emplace_back(input.substr(at, nul - at));
    at = nul + 1;
  }
  std::vector<const char*> argv;
  std::string joined;
  for (const std::string& arg : args) {
    argv.push_back(arg.c_str());
    joined += arg + ' ';
  }

  std::string line = BuildParamLine(argv);
  Require(line == joined.substr(0, kLongestParamLine), "the arguments joined, cut at 255");
  Require(CountParams(line) == Spaces(line), "every space counts as a parameter");

  const Removal expected = RemoveInOnePass(line);
  RunOptions options;
  const std::optional<char> unknown = RemoveOptions(line, options);
  Require(unknown == expected.unknown, "the first letter that is no option is refused");
  Require(SameOptions(options, expected.options), "the options read are the ones set");
  if (!unknown) {
    Require(line == expected.rest, "each option takes three characters from the line");
    Require(line.find('-') == std::string::npos, "no option is left");
    Require(CountParams(line) == Spaces(expected.rest), "the parameters left are counted");
  }
  return 0;
}
