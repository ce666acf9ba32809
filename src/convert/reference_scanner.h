// The scanner the plain way: one character at a time, as the conversion is defined, with the
// same console echo. It is the measure of the block scanner: tests hold the two equal on
// generated text, byte for byte, output and echo.
#pragma once

#include <string>
#include <string_view>

#include "run/run_options.h"

/// Converts `input` (read up to its end or its first byte 26) and echoes it unless OptQuiet.
std::string ConvertByCharacters(std::string_view input, const RunOptions& options);
