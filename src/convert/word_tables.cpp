// This file implements the upper-casing and the binary search over the word tables.
#include "convert/word_tables.h"

#include <algorithm>

void UpperInPlace(std::string& s) {
  for (char& c : s)
    c = UpperAscii(c);
}

int FindWord(std::span<const std::string_view> table, std::string_view word) {
  std::string key(word);
  UpperInPlace(key);
  int low = 0;
  int high = static_cast<int>(table.size()) - 1;
  while (high >= low) {
    const int mid = (low + high) / 2;
    std::string entry(table[mid]);
    UpperInPlace(entry);
    // std::string compares as unsigned bytes, the shorter string first when one begins the other.
    const int order = key.compare(entry);
    if (order < 0) {
      high = mid - 1;
    } else if (order > 0) {
      low = mid + 1;
    } else {
      return mid;
    }
  }
  return -1;
}
