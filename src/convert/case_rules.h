// The case rules: what the tables know of a word, and the spelling that the options then give it.
#pragma once

#include <span>
#include <string_view>

#include "run/run_options.h"

/// What the tables know of a word.
struct WordKnowledge {
  std::string_view spelling;  ///< The formal spelling from IdentTable; empty when unknown.
  bool reserved = false;      ///< Whether the word is in ReservedTable (spelled as `spelling`).
};

/// Asks both tables by binary search, reserved words first.
WordKnowledge ClassifyBySearch(std::string_view word);

/// Rewrites `word` in place by the case rules for what the tables know of it; returns whether the
/// word is recognised (shown highlighted), which it is also when its spelling did not change.
bool ApplyCaseRules(std::span<char> word, WordKnowledge knowledge, const RunOptions& options);
