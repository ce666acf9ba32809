#include "convert/case_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "memory_conversion.h"

namespace {

struct Outcome {
  std::string word;
  bool recognised;
};

Outcome Apply(std::string word, const RunOptions& options) {
  const bool recognised = ApplyCaseRules(word, ClassifyBySearch(word), options);
  return {word, recognised};
}

// The outcome for a reserved word, another known word and an unknown word, by options.
TEST(ApplyCaseRules, FollowsTheRuleTable) {
  struct Row {
    std::string_view options;
    std::string_view reserved, known, unknown;  // from Begin, textcolor, myVar
  };
  const Row rows[] = {
      {"", "begin", "TextColor", "myVar"},   {"U", "BEGIN", "TextColor", "myVar"},
      {"F", "begin", "Textcolor", "MyVar"},  {"FR", "Begin", "Textcolor", "MyVar"},
      {"FU", "BEGIN", "Textcolor", "MyVar"}, {"FRU", "BEGIN", "Textcolor", "MyVar"},
      {"R", "begin", "TextColor", "myVar"},
  };
  for (const Row& row : rows) {
    const RunOptions options = OptionsFromLetters(row.options);
    SCOPED_TRACE(std::string("options ") + std::string(row.options));
    EXPECT_EQ(Apply("Begin", options).word, row.reserved);
    EXPECT_TRUE(Apply("Begin", options).recognised);
    EXPECT_EQ(Apply("textcolor", options).word, row.known);
    EXPECT_TRUE(Apply("textcolor", options).recognised);
    const Outcome unknown = Apply("myVar", options);
    EXPECT_EQ(unknown.word, row.unknown);
    EXPECT_EQ(unknown.recognised, options.OptFirst);
  }
}

TEST(ApplyCaseRules, TableSpellingDoesNotDependOnTheSourceSpelling) {
  for (std::string_view source : {"writeln", "WRITELN", "wRiTeLn"}) {
    EXPECT_EQ(Apply(std::string(source), {}).word, "Writeln");
    EXPECT_EQ(Apply(std::string(source), OptionsFromLetters("U")).word, "Writeln");
  }
  for (std::string_view source : {"procedure", "PROCEDURE", "pRoCeDuRe"}) {
    EXPECT_EQ(Apply(std::string(source), {}).word, "procedure");
    EXPECT_EQ(Apply(std::string(source), OptionsFromLetters("FU")).word, "PROCEDURE");
  }
}

TEST(ApplyCaseRules, RecognisesUnchangedSpellings) {
  EXPECT_TRUE(Apply("begin", {}).recognised);
  const Outcome digits = Apply("123", OptionsFromLetters("F"));
  EXPECT_EQ(digits.word, "123");
  EXPECT_TRUE(digits.recognised);
  EXPECT_FALSE(Apply("123", {}).recognised);
  EXPECT_EQ(Apply("_under", OptionsFromLetters("F")).word, "_under");
}

}  // namespace
