// This file implements the comparison of long texts.
#include "same_text.h"

#include <algorithm>
#include <string>

testing::AssertionResult SameText(std::string_view actual, std::string_view expected) {
  const auto [a, e] = std::ranges::mismatch(actual, expected);
  if (a == actual.end() && e == expected.end()) return testing::AssertionSuccess();
  const std::size_t at = static_cast<std::size_t>(a - actual.begin());
  const std::size_t from = at < 40 ? 0 : at - 40;
  return testing::AssertionFailure()
         << "sizes " << actual.size() << " and " << expected.size() << ", first difference at "
         << at << ":\n  actual   ..."
         << testing::PrintToString(std::string(actual.substr(from, 80))) << "\n  expected ..."
         << testing::PrintToString(std::string(expected.substr(from, 80)));
}
