// Deterministic Turbo Pascal text for tests and benchmarks: statements with reserved words and
// standard-unit names in every letter case, unknown identifiers, numbers, strings with doubled
// quotes, { } and (* *) comments, CRLF line ends (some LF alone) and some bytes above 127. The
// hostile flavour adds control bytes, NUL, ESC sequences, unbalanced quotes and braces and long
// words (but never Ctrl-Z, which would end the text early; tests place it themselves).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

/// Returns exactly `size` bytes of generated text; the same seed gives the same text.
std::string GeneratePascalText(std::size_t size, std::uint64_t seed, bool hostile = false);
