// This file implements the block scanner, the loop over the blocks of an input, and the echo.
#include "convert/scanner.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "console/console.h"
#include "convert/byte_classes.h"
#include "convert/word_lookup.h"
#include "convert/word_tables.h"

namespace {

constexpr char kEndOfText = 26;  // Ctrl-Z: the input ends before it.

// The block being converted: read into, converted in place and written out from, so the bytes
// that do not change are never copied. The slack past its end lets the classification read
// whole strides and a word be read and written as whole 8-byte lanes.
constexpr std::size_t kSlack = kStride;
static_assert(kSlack >= kLookupReach);
alignas(kStride) char Block[kBlockSize + kSlack];
StrideMasks BlockMasks[kBlockSize / kStride];
// The colour changes of the echo of a block: two per recognised word, which needs a separator.
ColourChange BlockColours[kBlockSize + 2];
std::size_t BlockColourCount = 0;

// Quoting state of the current input, carried across blocks and lines.
bool InString = false;
bool InBraceComment = false;
// A word too long to be known reached the end of the previous block; the rest of it, at the
// front of this block, stays as it is.
bool InLongWord = false;
bool LongWordRecognised = false;

// The quoting state as the scanner carries it through a block, in registers. Its updates are
// free of branches: where the quotes fall is up to the text, and a mispredicted branch costs more
// than these few operations.
struct Quoting {
  bool inString;
  bool inBraceComment;

  void Track(char c) {
    // Bitwise operators on purpose: && and || would branch.
    const bool quote = c == '\'', open = c == '{', close = c == '}';
    inString = inString ^ (quote & !inBraceComment);
    inBraceComment = (inBraceComment | (open & !inString)) & !(close & !inString);
  }
  bool Outside() const { return !(inString | inBraceComment); }

  // Takes the quoting characters of one stride in order and returns the mask of the positions
  // that lie outside strings and brace comments (set also where a quoting character stands).
  std::uint64_t OutsideMask(const char* stride, std::uint64_t quotes) {
    std::uint64_t outside = 0, unseen = ~std::uint64_t{0};
    for (; quotes != 0; quotes &= quotes - 1) {
      const int at = std::countr_zero(quotes);
      const std::uint64_t upToHere = unseen & ((std::uint64_t{2} << at) - 1);
      outside |= upToHere & -std::uint64_t{Outside()};
      unseen &= ~upToHere;
      Track(stride[at]);
    }
    return outside | (unseen & -std::uint64_t{Outside()});
  }
};

// The case rules on a word in place, in lanes: for every word the outcome of ApplyCaseRules,
// which the character scanner uses. The lanes are stored back whether the word is known or not
// (unknown, they are stored as they were), so that nothing but -F branches on what the text
// holds. Returns whether the word is recognised.
[[gnu::always_inline]] inline bool ConvertWord(char* word, std::size_t length,
                                               const RunOptions& options) {
  WordLanes lanes;
  std::memcpy(lanes.data(), word, kLookupReach);
  const KnownWord& found = FindKnownWord(lanes, length);
  const bool known = found.ident != kNoIdent;
  const bool capitals = found.reserved & options.OptUppercase;  // overrides -F
  if (options.OptFirst && !capitals && (options.OptReserved || !found.reserved)) {
    word[0] = UpperAscii(word[0]);
    return true;
  }
  const WordLanes& spelling = capitals ? found.upper : found.spelling;
  const WordLanes& masks = LaneMasks(length);
  const std::uint64_t take = -std::uint64_t{known};
  for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
    const std::uint64_t replaced = masks[lane] & take;
    lanes[lane] = (lanes[lane] & ~replaced) | (spelling[lane] & replaced);
  }
  std::memcpy(word, lanes.data(), kLookupReach);
  return known;
}

// The first byte at or after `from` that is not a word character, or `size`.
std::size_t WordEnd(std::size_t from, std::size_t size) {
  std::size_t stride = from / kStride;
  std::uint64_t nonWord = ~BlockMasks[stride].word & (~std::uint64_t{0} << (from % kStride));
  while (nonWord == 0) {
    if (++stride * kStride >= size) return size;
    nonWord = ~BlockMasks[stride].word;
  }
  return std::min(stride * kStride + std::countr_zero(nonWord), size);
}

// Converts the words of the first `size` bytes of Block in place, continuing from the previous
// block. Returns how many leading bytes are final; the rest, an unfinished word of at most
// kLongestKnownWord bytes, must come again at the front of the next block. With `inputEnded`
// every byte is final.
//
// The masks show where words start and which starts lie outside strings and brace comments;
// only those words are looked at. A word inside quotes may be cut by a block end: both parts
// stay as they are, as the whole word would.
std::size_t ConvertBlock(std::size_t size, bool inputEnded, const RunOptions& options) {
  BlockColourCount = 0;
  const auto changeColour = [](std::size_t at, std::uint8_t colour) {
    BlockColours[BlockColourCount++] = {static_cast<std::uint32_t>(at), colour};
  };
  ClassifyBlock(Block, size, BlockMasks);
  std::uint64_t inWord = 0;  // 1 when the stride before ended inside a word
  if (InLongWord) {
    const std::size_t end = WordEnd(0, size);
    if (end == size && !inputEnded) return size;
    InLongWord = false;
    if (LongWordRecognised) changeColour(end, ColourNormal);
    inWord = 1;
  }
  Quoting quoting{InString, InBraceComment};
  const auto finish = [&](std::size_t final) {
    InString = quoting.inString;
    InBraceComment = quoting.inBraceComment;
    return final;
  };
  for (std::size_t stride = 0; stride * kStride < size; ++stride) {
    const std::uint64_t word = BlockMasks[stride].word;
    const std::uint64_t outside =
        quoting.OutsideMask(Block + stride * kStride, BlockMasks[stride].quoting);
    std::uint64_t starts = word & ~((word << 1) | inWord) & outside;
    inWord = word >> 63;
    for (; starts != 0; starts &= starts - 1) {
      const int bit = std::countr_zero(starts);
      const std::size_t start = stride * kStride + bit;
      const int run = std::countr_one(word >> bit);
      const std::size_t end = bit + run < 64 ? start + run : WordEnd(start, size);
      const std::size_t length = end - start;
      if (end == size && !inputEnded) {
        if (length <= kLongestKnownWord) return finish(start);
        // Unknown whatever follows: only -F touches it, and only its first letter.
        InLongWord = true;
        LongWordRecognised = ConvertWord(Block + start, length, options);
        if (LongWordRecognised) changeColour(start, ColourKnownWord);
        return finish(size);
      }
      // Both changes are written for every word and kept only for a recognised one.
      BlockColours[BlockColourCount] = {static_cast<std::uint32_t>(start), ColourKnownWord};
      BlockColours[BlockColourCount + 1] = {static_cast<std::uint32_t>(end), ColourNormal};
      BlockColourCount += 2 * ConvertWord(Block + start, length, options);
    }
  }
  return finish(size);
}

}  // namespace

void ConvertStream(const ConversionStreams& streams, const RunOptions& options, bool echo,
                   std::size_t blockSize) {
  InString = InBraceComment = InLongWord = LongWordRecognised = false;
  std::size_t held = 0;
  for (bool ended = false; !ended;) {
    const std::size_t got = streams.read(Block + held, blockSize - held);
    std::size_t size = held + got;
    ended = got == 0;
    if (const void* stop = std::memchr(Block + held, kEndOfText, got)) {
      size = static_cast<std::size_t>(static_cast<const char*>(stop) - Block);
      ended = true;
    }
    const std::size_t final = ConvertBlock(size, ended, options);
    if (final > 0) {
      streams.write({Block, final});
      if (echo) {
        ConsoleEchoInColours({Block, final}, {BlockColours, BlockColourCount});
        ConsoleFlush();
      }
    }
    held = size - final;
    std::memmove(Block, Block + final, held);
  }
}
