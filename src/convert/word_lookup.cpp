// This file builds the lookup table at compile time from the word tables, and checks there that
// its longest probe sequence stays short.
#include "convert/word_lookup.h"

#include <bit>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little, "lanes are loaded with memcpy");
static_assert(kLongestKnownWord <= kLookupReach);

constexpr std::uint64_t kNoLane = ~std::uint64_t{0};  // folded word characters are below 0x80

// Capitals by clearing bit 5 where bit 6 is set: "a".."z" become "A".."Z", other word
// characters and the zero padding stay.
constexpr std::uint64_t UpperLane(std::uint64_t lane) {
  return lane & ~((lane >> 1) & 0x2020202020202020u);
}

constexpr WordLanes PackAtCompileTime(std::string_view word) {
  WordLanes lanes{};
  for (std::size_t i = 0; i < word.size(); ++i) {
    lanes[i / 8] |= std::uint64_t{static_cast<unsigned char>(word[i])} << (8 * (i % 8));
  }
  return lanes;
}

constexpr WordLookupTable BuildTable() {
  WordLookupTable table{};
  for (std::size_t length = 0; length <= kLookupReach; ++length) {
    for (std::size_t i = 0; i < length; ++i) {
      table.laneMasks[length][i / 8] |= std::uint64_t{0xFF} << (8 * (i % 8));
    }
  }
  table.entries[0] = {{kNoLane, kNoLane, kNoLane}, {}, {}, kNoIdent, false};
  std::size_t count = 1;
  for (std::size_t i = 0; i < kIdentCount; ++i) {
    const WordLanes spelling = PackAtCompileTime(IdentTable[i]);
    const WordLanes& masks = table.laneMasks[IdentTable[i].size()];
    const WordLanes folded = {FoldLane(spelling[0]) & masks[0], FoldLane(spelling[1]) & masks[1],
                              FoldLane(spelling[2]) & masks[2]};
    std::size_t slot = LookupSlot(folded);
    std::size_t probe = 1;
    bool duplicate = false;
    while (table.slots[slot] != 0) {
      if (table.entries[table.slots[slot]].folded == folded) duplicate = true;  // "ArcTan" twice
      slot = (slot + 1) % WordLookupTable::kSlotCount;
      ++probe;
    }
    if (duplicate) continue;
    const bool reserved = std::ranges::binary_search(ReservedTable, IdentTable[i], UpperLess);
    const WordLanes upper = {UpperLane(spelling[0]), UpperLane(spelling[1]),
                             UpperLane(spelling[2])};
    table.entries[count] = {folded, upper, spelling, static_cast<std::uint16_t>(i), reserved};
    table.slots[slot] = static_cast<std::uint16_t>(count++);
    table.longestProbe = std::max(table.longestProbe, probe);
  }
  return table;
}

}  // namespace

constexpr WordLookupTable kWordLookup = BuildTable();
static_assert(kWordLookup.longestProbe <= 4, "the hash spreads the words well");

WordKnowledge LookupWord(const char* word, std::size_t length) {
  WordLanes raw;
  std::memcpy(raw.data(), word, kLookupReach);
  const KnownWord& found = FindKnownWord(raw, length);
  return found.ident == kNoIdent ? WordKnowledge{}
                                 : WordKnowledge{IdentTable[found.ident], found.reserved};
}
