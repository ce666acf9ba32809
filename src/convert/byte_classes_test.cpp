#include "convert/byte_classes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "convert/word_tables.h"

namespace {

TEST(ClassifyBlock, MarksWordAndQuotingCharactersAsThePortablePathDoes) {
  // Every byte value at every position of a stride, then random text of every length.
  std::vector<char> text(256 + 2 * kStride);
  for (int b = 0; b < 256; ++b)
    text[b] = static_cast<char>(b);
  std::vector<StrideMasks> fast(text.size() / kStride + 1), portable(fast.size());
  for (std::size_t shift = 0; shift < kStride; ++shift) {
    ClassifyBlock(text.data() + shift, 256, fast);
    ClassifyBlockPortable(text.data() + shift, 256, portable);
    for (std::size_t b = 0; b < 256; ++b) {
      const unsigned char c = static_cast<unsigned char>(text[shift + b]);
      const StrideMasks& masks = fast[b / kStride];
      EXPECT_EQ((masks.word >> (b % kStride)) & 1, IsWordChar(c) ? 1u : 0u) << int(c);
      EXPECT_EQ((masks.quoting >> (b % kStride)) & 1, c == '\'' || c == '{' || c == '}') << int(c);
    }
  }
  std::mt19937 engine(1);
  for (std::size_t size = 1; size <= 200; ++size) {
    std::vector<char> random(size + kStride);
    for (char& c : random)
      c = static_cast<char>(engine());
    std::vector<StrideMasks> a(size / kStride + 1, {~0u, ~0u}), b(a);
    ClassifyBlock(random.data(), size, a);
    ClassifyBlockPortable(random.data(), size, b);
    for (std::size_t stride = 0; stride * kStride < size; ++stride) {
      ASSERT_EQ(a[stride].word, b[stride].word) << size;
      ASSERT_EQ(a[stride].quoting, b[stride].quoting) << size;
    }
  }
}

}  // namespace
