// This file implements the byte classification with SSE2 and portably.
#include "convert/byte_classes.h"

#include <array>

#include "convert/word_tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::uint8_t kWordClass = 1, kQuotingClass = 2;

constexpr std::array<std::uint8_t, 256> kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int b = 0; b < 256; ++b) {
    if (IsWordChar(static_cast<unsigned char>(b))) classes[b] = kWordClass;
  }
  classes['\''] = classes['{'] = classes['}'] = kQuotingClass;
  return classes;
}();

// Clears the bits of the last stride that lie past the end of the text.
void CutLastStride(std::size_t size, std::span<StrideMasks> masks) {
  if (const std::size_t used = size % kStride) {
    StrideMasks& last = masks[size / kStride];
    const std::uint64_t kept = (std::uint64_t{1} << used) - 1;
    last.word &= kept;
    last.quoting &= kept;
  }
}

#if defined(__SSE2__)
// Signed comparisons test a byte range: adding 0x80 - low moves low..high to -128 onwards.
__m128i InRange(__m128i bytes, char low, char high) {
  const __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80 - low)));
  return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + (high - low + 1))));
}

StrideMasks ClassifyStride(const char* text) {
  std::uint64_t word = 0, quoting = 0;
  for (int part = 0; part < 4; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
    // Setting bit 5 folds "A".."Z" onto "a".."z" and moves no other byte into that range.
    const __m128i letters = InRange(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 'z');
    const __m128i words = _mm_or_si128(_mm_or_si128(letters, InRange(bytes, '0', '9')),
                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')));
    const __m128i quotes = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\'')),
                                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('{'))),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('}')));
    word |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(words))} << (16 * part);
    quoting |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(quotes))} << (16 * part);
  }
  return {word, quoting};
}
#endif

}  // namespace

void ClassifyBlockPortable(const char* text, std::size_t size, std::span<StrideMasks> masks) {
  for (std::size_t stride = 0; stride * kStride < size; ++stride) {
    std::uint64_t word = 0, quoting = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
      const std::uint8_t classes = kClasses[static_cast<unsigned char>(text[stride * kStride + i])];
      word |= std::uint64_t{(classes & kWordClass) != 0} << i;
      quoting |= std::uint64_t{(classes & kQuotingClass) != 0} << i;
    }
    masks[stride] = {word, quoting};
  }
  CutLastStride(size, masks);
}

void ClassifyBlock(const char* text, std::size_t size, std::span<StrideMasks> masks) {
#if defined(__SSE2__)
  for (std::size_t stride = 0; stride * kStride < size; ++stride) {
    masks[stride] = ClassifyStride(text + stride * kStride);
  }
  CutLastStride(size, masks);
#else
  ClassifyBlockPortable(text, size, masks);
#endif
}
