// The manual pages as their readers get them: each must format without a single warning, by
// groff and by man, where they are installed.
#include <gtest/gtest.h>

#include <string>

#include "run_binary.h"

namespace {

TEST(ManPages, FormatWithoutWarnings) {
  const std::string groff = FindProgram("groff");
  const std::string man = FindProgram("man");
  if (groff.empty() && man.empty()) GTEST_SKIP() << "neither groff nor man is installed";
  for (const std::string page : {"orvelt.1", "orvelt-filter.1"}) {
    const std::string path = std::string(ORVELT_SOURCE_DIR) + "/man/" + page;
    if (!groff.empty()) {
      // -wall leaves out the warnings of undefined macros, strings and registers; -ww adds them.
      const BinaryResult result =
          RunBinary({.args = {"-z", "-wall", "-ww", "-man", path}, .binary = groff});
      EXPECT_EQ(result.status, 0) << page;
      EXPECT_EQ(result.err, "") << page;
    }
    if (!man.empty()) {
      const BinaryResult result =
          RunBinary({.args = {"--warnings", "-l", path}, .binary = man, .env = {"MANWIDTH=80"}});
      EXPECT_EQ(result.status, 0) << page;
      EXPECT_EQ(result.err, "") << page;
      EXPECT_NE(result.out.find("EXIT STATUS"), std::string::npos) << page;
    }
  }
}

}  // namespace
