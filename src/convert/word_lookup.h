// The fast word lookup: the same answer as ClassifyBySearch for every word, from one probe of a
// small hash table in most cases. A word is packed, upper-cased, into three 64-bit lanes; every
// word longer than the longest entry, or starting with a digit or "_", is unknown at once.
#pragma once

#include <cstddef>

#include "convert/case_rules.h"

/// What the tables know of the word of `length` word characters at `word`.
WordKnowledge LookupWord(const char* word, std::size_t length);
