// This file implements the case rules. Their order matters: a first letter capitalised by -F keeps
// the source's spelling for the rest of the word, and -U overrides both for reserved words.
#include "convert/case_rules.h"

#include <algorithm>

#include "convert/word_tables.h"

WordKnowledge ClassifyBySearch(std::string_view word) {
  const int reserved = FindWord(ReservedTable, word);
  const int known = FindWord(IdentTable, word);
  return {known == -1 ? std::string_view() : IdentTable[known], reserved != -1};
}

bool ApplyCaseRules(std::span<char> word, WordKnowledge knowledge, const RunOptions& options) {
  bool recognised = false;
  if (options.OptFirst && (options.OptReserved || !knowledge.reserved)) {
    word[0] = UpperAscii(word[0]);
    recognised = true;
  }
  if (!knowledge.spelling.empty() && !recognised) {
    std::ranges::copy(knowledge.spelling, word.begin());
    recognised = true;
  }
  if (knowledge.reserved && options.OptUppercase) {
    std::ranges::transform(knowledge.spelling, word.begin(), UpperAscii);
    recognised = true;
  }
  return recognised;
}
