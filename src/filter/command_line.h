// The command line of orvelt-filter, in the manner of today's Linux tools: the case options -U,
// -F and -R (which may be bundled, as -UF), the modes --check and --diff, --help and --version,
// and FILE arguments anywhere among them; "-" is standard input and "--" ends the options.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "run/run_options.h"

enum class FilterMode { Convert, Check, Diff, Help, Version };

struct FilterCommand {
  FilterMode mode = FilterMode::Convert;
  RunOptions options;
  /// The inputs in order; "-" alone when the command line names none.
  std::vector<std::string> files;
  /// What is wrong with the command line, as one line; empty when nothing is.
  std::string error;
};

/// Reads the arguments after the program name.
FilterCommand ParseFilterCommandLine(std::span<const char* const> args);

/// The text of --help.
extern const std::string_view kFilterUsage;
