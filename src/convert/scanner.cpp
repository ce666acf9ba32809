// This file implements the block scanner, the loop over the blocks of an input, and the echo.
#include "convert/scanner.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "console/console.h"
#include "convert/case_rules.h"
#include "convert/word_lookup.h"
#include "convert/word_tables.h"

namespace {

constexpr char kEndOfText = 26;  // Ctrl-Z: the input ends before it.

// A change of the echo colour before the byte at `offset` of a block.
struct ColourChange {
  std::uint32_t offset;
  std::uint8_t colour;
};

// The block being converted: read into, converted in place and written out from, so the bytes
// that do not change are never copied.
char Block[kBlockSize];
std::vector<ColourChange> BlockColours;

// Quoting state of the current input, carried across blocks and lines.
bool InString = false;
bool InBraceComment = false;
// A word too long to be known reached the end of the previous block; the rest of it, at the
// front of this block, stays as it is.
bool InLongWord = false;
bool LongWordRecognised = false;

void TrackQuoting(char c) {
  if (c == '\'' && !InBraceComment) InString = !InString;
  if (c == '{' && !InString) InBraceComment = true;
  if (c == '}' && !InString) InBraceComment = false;
}

// Converts the words of `text` in place, continuing from the previous block. Returns how many
// leading bytes are final; the rest, an unfinished word of at most kLongestKnownWord bytes, must
// come again at the front of the next block. With `inputEnded` every byte is final.
std::size_t ConvertBlock(std::span<char> text, bool inputEnded, const RunOptions& options,
                         std::vector<ColourChange>* echo) {
  char* const begin = text.data();
  char* const end = begin + text.size();
  const auto changeColour = [&](const char* at, std::uint8_t colour) {
    if (echo != nullptr) echo->push_back({static_cast<std::uint32_t>(at - begin), colour});
  };
  char* p = begin;
  if (InLongWord) {
    while (p < end && IsWordChar(*p))
      ++p;
    if (p == end && !inputEnded) return text.size();
    InLongWord = false;
    if (LongWordRecognised) changeColour(p, ColourNormal);
  }
  for (;;) {
    while (p < end && !IsWordChar(*p))
      TrackQuoting(*p++);
    if (p == end) return text.size();
    char* const word = p;
    while (p < end && IsWordChar(*p))
      ++p;
    const std::size_t length = static_cast<std::size_t>(p - word);
    const bool outsideQuotes = !InString && !InBraceComment;
    if (p == end && !inputEnded) {
      if (length <= kLongestKnownWord) return static_cast<std::size_t>(word - begin);
      // Unknown whatever follows: only -F touches it, and only its first letter.
      InLongWord = true;
      LongWordRecognised = outsideQuotes && ApplyCaseRules({word, 1}, {}, options);
      if (LongWordRecognised) changeColour(word, ColourKnownWord);
      return text.size();
    }
    if (outsideQuotes && ApplyCaseRules({word, length}, LookupWord(word, length), options)) {
      changeColour(word, ColourKnownWord);
      changeColour(p, ColourNormal);
    }
  }
}

void EchoBlock(std::string_view text, std::span<const ColourChange> changes) {
  std::size_t at = 0;
  for (const ColourChange& change : changes) {
    ConsoleEcho(text.substr(at, change.offset - at));
    SetColour(change.colour);
    at = change.offset;
  }
  ConsoleEcho(text.substr(at));
  ConsoleFlush();
}

}  // namespace

void ConvertStream(const ConversionStreams& streams, const RunOptions& options, bool echo,
                   std::size_t blockSize) {
  InString = InBraceComment = InLongWord = LongWordRecognised = false;
  BlockColours.reserve(kBlockSize + 1);
  std::size_t held = 0;
  for (bool ended = false; !ended;) {
    const std::size_t got = streams.read(Block + held, blockSize - held);
    std::size_t size = held + got;
    ended = got == 0;
    if (const void* stop = std::memchr(Block + held, kEndOfText, got)) {
      size = static_cast<std::size_t>(static_cast<const char*>(stop) - Block);
      ended = true;
    }
    BlockColours.clear();
    const std::size_t final =
        ConvertBlock({Block, size}, ended, options, echo ? &BlockColours : nullptr);
    if (final > 0) {
      streams.write({Block, final});
      if (echo) EchoBlock({Block, final}, BlockColours);
    }
    held = size - final;
    std::memmove(Block, Block + final, held);
  }
}
