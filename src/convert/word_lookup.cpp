// This file implements the fast lookup. The table is built at compile time from the word tables,
// and its longest probe sequence is checked there too.
#include "convert/word_lookup.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "convert/word_tables.h"

namespace {

static_assert(std::endian::native == std::endian::little, "lanes are loaded with memcpy");

constexpr std::size_t kLanes = 3;  // 24 bytes hold the longest entry, zero-padded.
static_assert(kLongestKnownWord <= kLanes * 8);
constexpr unsigned kSlotBits = 11;
constexpr std::size_t kSlotCount = std::size_t{1} << kSlotBits;

using Key = std::array<std::uint64_t, kLanes>;

struct Entry {
  Key key;
  std::uint16_t ident;  // position in IdentTable
  bool reserved;
};

// Word characters upper-case by clearing bit 5 wherever bit 6 is set: that turns "a".."z" into
// "A".."Z" and leaves digits, "_", capitals and the zero padding as they are.
constexpr std::uint64_t UpperLane(std::uint64_t lane) {
  return lane & ~((lane >> 1) & 0x2020202020202020u);
}

constexpr std::size_t SlotOf(const Key& key) {
  const std::uint64_t mixed = (key[0] * 0x9E3779B97F4A7C15u) ^ (key[1] * 0xC2B2AE3D27D4EB4Fu) ^
                              (key[2] * 0x165667B19E3779F9u);
  return static_cast<std::size_t>((mixed ^ (mixed >> 29)) >> (64 - kSlotBits));
}

constexpr Key PackAtCompileTime(std::string_view word) {
  Key key{};
  for (std::size_t i = 0; i < word.size(); ++i) {
    key[i / 8] |= std::uint64_t{static_cast<unsigned char>(word[i])} << (8 * (i % 8));
  }
  for (auto& lane : key)
    lane = UpperLane(lane);
  return key;
}

struct Table {
  std::array<std::uint16_t, kSlotCount> slots{};  // 0 empty, else 1 + index into entries
  std::array<Entry, kIdentCount> entries{};
  std::size_t longestProbe = 0;
};

constexpr Table BuildTable() {
  Table table;
  std::size_t count = 0;
  for (std::size_t i = 0; i < kIdentCount; ++i) {
    const Key key = PackAtCompileTime(IdentTable[i]);
    std::size_t slot = SlotOf(key);
    std::size_t probe = 1;
    bool duplicate = false;
    while (table.slots[slot] != 0) {
      if (table.entries[table.slots[slot] - 1].key == key) duplicate = true;  // "ArcTan" twice
      slot = (slot + 1) % kSlotCount;
      ++probe;
    }
    if (duplicate) continue;
    const bool reserved = std::ranges::binary_search(ReservedTable, IdentTable[i], UpperLess);
    table.entries[count] = {key, static_cast<std::uint16_t>(i), reserved};
    table.slots[slot] = static_cast<std::uint16_t>(++count);
    if (probe > table.longestProbe) table.longestProbe = probe;
  }
  return table;
}

constexpr Table kTable = BuildTable();
static_assert(kTable.longestProbe <= 4, "the hash spreads the words well");

}  // namespace

WordKnowledge LookupWord(const char* word, std::size_t length) {
  if (length > kLongestKnownWord || (word[0] >= '0' && word[0] <= '9') || word[0] == '_') {
    return {};
  }
  char padded[kLanes * 8] = {};
  std::memcpy(padded, word, length);
  Key key;
  for (std::size_t lane = 0; lane < kLanes; ++lane) {
    std::memcpy(&key[lane], padded + 8 * lane, 8);
    key[lane] = UpperLane(key[lane]);
  }
  for (std::size_t slot = SlotOf(key); kTable.slots[slot] != 0; slot = (slot + 1) % kSlotCount) {
    const Entry& entry = kTable.entries[kTable.slots[slot] - 1];
    if (entry.key == key) return {IdentTable[entry.ident], entry.reserved};
  }
  return {};
}
