// One input of orvelt-filter, a named file or standard input, run through the conversion engine
// in constant memory: each piece of converted text comes paired with the original bytes it was
// made from, so that a caller can print the conversion, compare it with the original or both.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "run/run_options.h"

/// The name that stands for standard input.
inline constexpr std::string_view kStandardInputName = "-";

/// Receives the next `original` bytes and what they were converted to, of the same length; from
/// a Ctrl-Z on, the original bytes come with an empty `converted`, since they are dropped.
using ConvertedPiece = std::function<void(std::string_view original, std::string_view converted)>;

/// Converts the input `name` ("-" for standard input) with `options`, handing every byte of it
/// to `take` in order. Returns the reason of a failure to open or read it, empty when none; after
/// a failure `take` may have seen a part of the input.
std::string ConvertInput(std::string_view name, const RunOptions& options,
                         const ConvertedPiece& take);

/// The input's name as messages show it: "standard input" for "-".
std::string_view InputSubject(std::string_view name);
