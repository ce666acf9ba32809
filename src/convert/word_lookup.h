// The fast word lookup: the same answer as ClassifyBySearch for every word, from one probe of a
// small hash table for almost every word. A word is taken as three 8-byte lanes, its bytes
// folded so that letter case does not matter and zero past its end; an entry also holds its
// formal spelling and its capitals in lanes, so that the scanner can write either over the word
// with three stores. The hot functions are inline, and the table they read is declared here, so
// that they compile into the scanner's loop.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "convert/case_rules.h"
#include "convert/word_tables.h"

/// How far the lookup reads from the start of a word: its lanes.
inline constexpr std::size_t kLookupReach = 24;

using WordLanes = std::array<std::uint64_t, kLookupReach / 8>;

/// An entry of the lookup.
struct KnownWord {
  WordLanes folded;     ///< The key: the word folded, zero past its end.
  WordLanes upper;      ///< The word in capitals (the spelling of a reserved word under -U).
  WordLanes spelling;   ///< The formal spelling.
  std::uint16_t ident;  ///< Its position in IdentTable, or kNoIdent.
  bool reserved;
};

/// The ident of the entry that FindKnownWord returns for an unknown word.
inline constexpr std::uint16_t kNoIdent = 0xFFFF;

/// The table behind the lookup, built at compile time.
struct WordLookupTable {
  static constexpr unsigned kSlotBits = 12;  // a sixth full: most unknown words miss at once
  static constexpr std::size_t kSlotCount = std::size_t{1} << kSlotBits;
  /// 0 for an empty slot, else an index into entries; entries[0] is the entry of unknown words,
  /// whose key no word matches.
  std::array<std::uint16_t, kSlotCount> slots;
  std::array<KnownWord, 1 + kIdentCount> entries;
  /// For every length up to kLookupReach, the masks that keep that many bytes of the lanes.
  std::array<WordLanes, kLookupReach + 1> laneMasks;
  std::size_t longestProbe;
};

extern const WordLookupTable kWordLookup;

/// Folds a lane of word characters by setting bit 5 of every byte: "A".."Z" meet "a".."z",
/// digits keep their values and "_" becomes 0x7F, which no other word character does.
constexpr std::uint64_t FoldLane(std::uint64_t lane) {
  return lane | 0x2020202020202020u;
}

/// The slot where the search for a folded key starts.
constexpr std::size_t LookupSlot(const WordLanes& folded) {
  const std::uint64_t mixed =
      (folded[0] + folded[1] * 0xC2B2AE3D27D4EB4Fu + folded[2]) * 0xD6E8FEB86659FD93u;
  return static_cast<std::size_t>(mixed >> (64 - WordLookupTable::kSlotBits));
}

/// Returns the masks that keep the first `length` bytes of the lanes (all of them from 24 on).
inline const WordLanes& LaneMasks(std::size_t length) {
  return kWordLookup.laneMasks[std::min(length, kLookupReach)];
}

/// The entry of the word of `length` word characters whose first kLookupReach bytes (with
/// whatever follows the word) are `raw`; for an unknown word, the entry with ident kNoIdent.
inline const KnownWord& FindKnownWord(const WordLanes& raw, std::size_t length) {
  const WordLanes& masks = LaneMasks(length);
  const WordLanes folded = {FoldLane(raw[0]) & masks[0], FoldLane(raw[1]) & masks[1],
                            FoldLane(raw[2]) & masks[2]};
  const auto matches = [&folded](const KnownWord& entry) {
    return ((entry.folded[0] ^ folded[0]) | (entry.folded[1] ^ folded[1]) |
            (entry.folded[2] ^ folded[2])) == 0;
  };
  // Two slots at a time, looked at without a branch between them: they decide almost every
  // word (found, or an empty slot), so the loop's one branch is nearly always the same. A
  // longer word than any entry matches none.
  std::size_t slot = LookupSlot(folded);
  std::uint16_t index;
  for (;;) {
    const std::uint16_t first = kWordLookup.slots[slot];
    const std::uint16_t second = kWordLookup.slots[(slot + 1) % WordLookupTable::kSlotCount];
    const bool inFirst = matches(kWordLookup.entries[first]);
    const bool inSecond = matches(kWordLookup.entries[second]);
    // Masks instead of ?:, which compiles into branches here.
    index = static_cast<std::uint16_t>((first & -int{inFirst}) | (second & -int{inSecond}));
    if (inFirst | inSecond | (first == 0) | (second == 0)) break;
    slot = (slot + 2) % WordLookupTable::kSlotCount;
  }
  return kWordLookup.entries[length <= kLongestKnownWord ? index : 0];
}

/// What the tables know of the word of `length` word characters at `word` (kLookupReach bytes
/// from it must be readable).
WordKnowledge LookupWord(const char* word, std::size_t length);
