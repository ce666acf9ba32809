#include "convert/word_tables.h"

#include <gtest/gtest.h>

namespace {

std::string Alternating(std::string_view word) {
  std::string cased(word);
  for (std::size_t i = 0; i < cased.size(); ++i) {
    char& c = cased[i];
    c = i % 2 == 0 ? UpperAscii(c) : (c >= 'A' && c <= 'Z' ? char(c + 32) : c);
  }
  return cased;
}

std::string Upper(std::string_view word) {
  std::string upper(word);
  UpperInPlace(upper);
  return upper;
}

TEST(FindWord, FindsEveryEntryInAnyLetterCase) {
  for (std::span<const std::string_view> table :
       {std::span<const std::string_view>(IdentTable),
        std::span<const std::string_view>(ReservedTable)}) {
    for (std::string_view word : table) {
      for (const std::string& spelling : {std::string(word), Upper(word), Alternating(word)}) {
        const int found = FindWord(table, spelling);
        ASSERT_NE(found, -1) << spelling;
        EXPECT_EQ(Upper(table[found]), Upper(word)) << spelling;
      }
    }
  }
}

TEST(FindWord, MissesWordsThatAreNotEntries) {
  for (std::string_view word : {"", "Ab", "Abss", "A", "Zz", "Ystarts", "0", "ArcTan_", "Begin1",
                                "Writ\xe9", "\xff", "writeln "}) {
    EXPECT_EQ(FindWord(IdentTable, word), -1) << word;
  }
  EXPECT_EQ(FindWord(IdentTable, std::string(300, 'a')), -1);
  EXPECT_EQ(FindWord(ReservedTable, "Writeln"), -1);
}

TEST(FindWord, KnowsTheDuplicateAndTheExtraLowerCaseEntries) {
  const int arcTan = FindWord(IdentTable, "ARCTAN");
  EXPECT_TRUE(arcTan == 12 || arcTan == 13);
  for (std::string_view word :
       {"comp", "double", "extended", "pointer", "real", "single", "x1", "x2", "y1", "y2"}) {
    EXPECT_EQ(IdentTable[FindWord(IdentTable, Upper(word))], word);
  }
}

TEST(UpperInPlace, ChangesOnlyAsciiLetters) {
  std::string text = "aZ_9 {\xe9\xe0}\x01zq";
  UpperInPlace(text);
  EXPECT_EQ(text, "AZ_9 {\xe9\xe0}\x01ZQ");
}

}  // namespace
