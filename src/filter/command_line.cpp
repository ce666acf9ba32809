// This file implements the reading of the command line and holds the help text.
#include "filter/command_line.h"

#include "filter/input_conversion.h"

const std::string_view kFilterUsage =
    "Usage: orvelt-filter [-U] [-F] [-R] [FILE...]\n"
    "       orvelt-filter --check [-U] [-F] [-R] [FILE...]\n"
    "       orvelt-filter --diff [-U] [-F] [-R] [FILE...]\n"
    "Gives every known word of Turbo Pascal 5.5 sources its formal letter case, as orvelt does,\n"
    "without changing any file. Converts each FILE, or standard input when there is none or\n"
    "for \"-\", and writes the result to standard output.\n"
    "\n"
    "  -U         reserved words in upper case\n"
    "  -F         capitalise the first letter of every word that is not reserved\n"
    "  -R         with -F, capitalise the first letter of reserved words too\n"
    "  --check    print the name of each FILE that the conversion would change\n"
    "  --diff     print a unified diff of what the conversion would change\n"
    "  --help     show this help and end\n"
    "  --version  show the version and end\n"
    "  --         end of the options: every argument after it is a FILE\n"
    "\n"
    "Exit status: 0 when done (with --check or --diff: nothing to change), 1 when --check or\n"
    "--diff found something to change, 2 after an error.\n";

namespace {

bool SetCaseOption(char letter, RunOptions& options) {
  switch (letter) {
    case 'U':
      return options.OptUppercase = true;
    case 'F':
      return options.OptFirst = true;
    case 'R':
      return options.OptReserved = true;
    default:
      return false;
  }
}

// Sets the mode of `option` and returns true, or returns false for an option that is not one.
bool SetModeOption(std::string_view option, bool& help, bool& version, FilterMode& mode) {
  if (option == "--help") return help = true;
  if (option == "--version") return version = true;
  if (option == "--check") {
    mode = FilterMode::Check;
  } else if (option == "--diff") {
    mode = FilterMode::Diff;
  } else {
    return false;
  }
  return true;
}

std::string Unknown(std::string_view option) {
  return "unknown option '" + std::string(option) + "' (see orvelt-filter --help)";
}

}  // namespace

FilterCommand ParseFilterCommandLine(std::span<const char* const> args) {
  FilterCommand command;
  bool help = false, version = false, optionsEnded = false;
  FilterMode mode = FilterMode::Convert;
  for (const std::string_view arg : args) {
    if (optionsEnded || arg == kStandardInputName || !arg.starts_with('-')) {
      command.files.emplace_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg.starts_with("--")) {
      const FilterMode before = mode;
      if (!SetModeOption(arg, help, version, mode)) {
        command.error = Unknown(arg);
        return command;
      }
      if (before != FilterMode::Convert && mode != before) {
        command.error = "--check and --diff cannot be combined";
        return command;
      }
    } else {
      for (const char letter : arg.substr(1)) {
        if (!SetCaseOption(letter, command.options)) {
          command.error = Unknown(std::string("-") + letter);
          return command;
        }
      }
    }
  }
  if (command.files.empty()) command.files.emplace_back(kStandardInputName);
  command.mode = help ? FilterMode::Help : version ? FilterMode::Version : mode;
  return command;
}
