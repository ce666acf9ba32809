#include "convert/word_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "convert/word_tables.h"
#include "pascal_text.h"

namespace {

void ExpectSameAsSearch(const std::string& word) {
  std::string padded = word;
  padded.append(kLookupReach, 'x');  // the lookup must ignore whatever follows the word
  const WordKnowledge fast = LookupWord(padded.data(), word.size());
  const WordKnowledge searched = ClassifyBySearch(word);
  ASSERT_EQ(fast.spelling, searched.spelling) << word;
  ASSERT_EQ(fast.reserved, searched.reserved) << word;
}

TEST(LookupWord, AgreesWithTheBinarySearchOnEveryEntry) {
  for (std::string_view entry : IdentTable) {
    std::string word(entry);
    ExpectSameAsSearch(word);
    UpperInPlace(word);
    ExpectSameAsSearch(word);
    for (char& c : word)
      c = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
    ExpectSameAsSearch(word);
    ExpectSameAsSearch(word + "x");
    ExpectSameAsSearch(word.substr(0, word.size() - 1));
    ExpectSameAsSearch(word + std::string(20, '_'));
  }
}

TEST(LookupWord, AgreesWithTheBinarySearchOnShortAndGeneratedWords) {
  const std::string alphabet = "aAbBeExXyYzZ019_";
  for (char a : alphabet) {
    ExpectSameAsSearch(std::string{a});
    for (char b : alphabet) {
      ExpectSameAsSearch(std::string{a, b});
      for (char c : alphabet)
        ExpectSameAsSearch(std::string{a, b, c});
    }
  }
  const std::string text = GeneratePascalText(200000, 7);
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i;
    while (end < text.size() && IsWordChar(text[end]))
      ++end;
    if (end > i) ExpectSameAsSearch(text.substr(i, end - i));
    i = end + 1;
  }
}

}  // namespace
