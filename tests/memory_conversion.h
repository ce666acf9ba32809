// Conversions of text held in memory, for the tests and the benchmarks: the block scanner fed a
// given number of bytes at a time, and option sets written as their letters.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "convert/scanner.h"
#include "run/run_options.h"

/// The options named by `letters`, out of "U", "F", "R" and "Q".
RunOptions OptionsFromLetters(std::string_view letters);

/// Converts `input` with the block scanner, reading blocks of `blockSize` bytes, and hands the
/// converted bytes to `write`.
void ConvertInMemory(std::string_view input, const RunOptions& options, bool echo,
                     const std::function<void(std::string_view)>& write,
                     std::size_t blockSize = kBlockSize);

/// The same, returning the converted text.
std::string ConvertInMemory(std::string_view input, const RunOptions& options, bool echo,
                            std::size_t blockSize = kBlockSize);
