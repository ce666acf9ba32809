// The run: the banner, the parameter line built from the arguments, option removal, and the
// dispatch to the usage screen, the file loop or the word listing, with the run's own ends.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "run/run_options.h"

/// The version shown in the banner.
inline constexpr std::string_view kVersion = "1.17";
/// The release date; the banner shows its year.
inline constexpr std::string_view kReleaseDate = "2022/01/01";

/// Runs the program on the arguments after the program name; returns after a normal end.
void RunMain(std::span<const char* const> args);

/// Writes the banner: an empty line, the program and version line in white, an empty line.
void ShowBanner();

/// Writes the usage text and ends the process with status 0.
[[noreturn]] void ShowUsage();

/// Joins `args`, each followed by one space, into a line of at most 255 characters.
std::string BuildParamLine(std::span<const char* const> args);

/// Takes every option out of `paramLine`: each "-" with the letter after it and the character
/// after that. Returns the first character after a "-" that is not an option letter (a space
/// for a "-" that ends the line).
std::optional<char> RemoveOptions(std::string& paramLine, RunOptions& options);

/// The number of spaces in `paramLine`.
int CountParams(std::string_view paramLine);
