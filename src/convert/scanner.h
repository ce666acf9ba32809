// The scanner: converts a source text block by block, in place, and echoes it. Only the letters
// of words outside quoted strings and brace comments change; every other byte stays where it
// is. The input ends at its end or before its first Ctrl-Z. A word that runs into the end of a
// block is held back for the next one while it could still be a known word, and decided at once
// when it is already too long to be one, so a word of any length gets the treatment it would
// get whole, in constant memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "run/run_options.h"

/// The size of one block of reading, converting and writing.
inline constexpr std::size_t kBlockSize = 16384;

/// Where a conversion reads its input and writes its output.
struct ConversionStreams {
  /// Fills up to `capacity` bytes at `buffer`; returns how many, 0 at the end of the input.
  std::function<std::size_t(char* buffer, std::size_t capacity)> read;
  /// Takes the next converted bytes (never empty).
  std::function<void(std::string_view bytes)> write;
};

/// Converts one whole input from `streams.read` to `streams.write`, starting outside strings and
/// comments; with `echo`, each written block is also shown on the console, known words in colour
/// 9. `blockSize` (18 to kBlockSize) is the size of the reads; tests make it small.
void ConvertStream(const ConversionStreams& streams, const RunOptions& options, bool echo,
                   std::size_t blockSize = kBlockSize);
