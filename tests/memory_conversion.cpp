// This file implements the conversions in memory.
#include "memory_conversion.h"

#include <algorithm>
#include <cstring>

RunOptions OptionsFromLetters(std::string_view letters) {
  RunOptions options;
  for (char letter : letters) {
    if (letter == 'U') options.OptUppercase = true;
    if (letter == 'F') options.OptFirst = true;
    if (letter == 'R') options.OptReserved = true;
    if (letter == 'Q') options.OptQuiet = true;
  }
  return options;
}

void ConvertInMemory(std::string_view input, const RunOptions& options, bool echo,
                     const std::function<void(std::string_view)>& write, std::size_t blockSize) {
  std::size_t next = 0;
  ConvertStream({.read =
                     [&](char* buffer, std::size_t capacity) {
                       const std::size_t got = std::min(capacity, input.size() - next);
                       std::memcpy(buffer, input.data() + next, got);
                       next += got;
                       return got;
                     },
                 .write = write},
                options, echo, blockSize);
}

std::string ConvertInMemory(std::string_view input, const RunOptions& options, bool echo,
                            std::size_t blockSize) {
  std::string output;
  ConvertInMemory(
      input, options, echo, [&output](std::string_view bytes) { output += bytes; }, blockSize);
  return output;
}
