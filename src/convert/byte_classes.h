// The classes of the bytes of a block, as bitmasks over strides of 64 bytes: which bytes are
// word characters and which are the characters that open or close a string or a brace comment.
// The scanner works on these masks instead of byte by byte. SSE2 computes them where the
// processor has it; the portable path gives the same masks everywhere else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr std::size_t kStride = 64;

struct StrideMasks {
  std::uint64_t word;     ///< Bit i: byte i of the stride is a word character.
  std::uint64_t quoting;  ///< Bit i: byte i is "'", "{" or "}".
};

/// Classifies the first `size` bytes at `text` into `masks` (one per started stride), reading
/// whole strides: up to 63 bytes past `size` must be readable. Bits past `size` are clear.
void ClassifyBlock(const char* text, std::size_t size, std::span<StrideMasks> masks);

/// The same, one byte at a time, for processors without SSE2 (and for tests that compare).
void ClassifyBlockPortable(const char* text, std::size_t size, std::span<StrideMasks> masks);
