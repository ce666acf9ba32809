// Fuzz target of the wildcard matcher: a pattern and a name (the input split at its first NUL
// byte) through MatchesPattern, against a plain recursive matcher with a memo, and with the name
// in other letter cases, which must not change the answer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "os/dir_search.h"

namespace {

// Entry names hold at most 255 bytes; the memo stays small.
constexpr std::size_t kLongest = 300;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "wildcard invariant broken: %s\n", what);
  std::abort();
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

class ReferenceGlob {
 public:
  ReferenceGlob(std::string_view pattern, std::string_view name)
      : pattern_(pattern), name_(name), memo_((pattern.size() + 1) * (name.size() + 1), kUnknown) {}

  // "*" matches any run of characters (also none), "?" any one, every other byte itself in
  // either ASCII letter case.
  bool Matches(std::size_t p = 0, std::size_t n = 0) {
    signed char& known = memo_[p * (name_.size() + 1) + n];
    if (known != kUnknown) return known;
    bool matches;
    if (p == pattern_.size()) {
      matches = n == name_.size();
    } else if (pattern_[p] == '*') {
      matches = Matches(p + 1, n) || (n < name_.size() && Matches(p, n + 1));
    } else {
      matches = n < name_.size() &&
                (pattern_[p] == '?' || LowerAscii(pattern_[p]) == LowerAscii(name_[n])) &&
                Matches(p + 1, n + 1);
    }
    known = matches;
    return matches;
  }

 private:
  static constexpr signed char kUnknown = -1;
  std::string_view pattern_, name_;
  std::vector<signed char> memo_;
};

// "*.*" takes every name; a pattern ending in "." takes the names without a "." that match it
// without that "."; every other pattern is a plain wildcard pattern.
bool ReferenceMatches(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  if (pattern.size() > 1 && pattern.back() == '.') {
    return name.find('.') == std::string_view::npos &&
           ReferenceGlob(pattern.substr(0, pattern.size() - 1), name).Matches();
  }
  return ReferenceGlob(pattern, name).Matches();
}

std::string SwapAsciiCase(std::string_view text) {
  std::string swapped(text);
  for (char& c : swapped) {
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') c ^= 0x20;
  }
  return swapped;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  if (nul == std::string_view::npos) return 0;
  const std::string_view pattern = input.substr(0, std::min(nul, kLongest));
  const std::string_view name = input.substr(nul + 1, kLongest);

  const bool matches = MatchesPattern(pattern, name);
  Require(matches == ReferenceMatches(pattern, name), "as the recursive matcher");
  Require(MatchesPattern(pattern, SwapAsciiCase(name)) == matches, "letter case is ignored");
  Require(MatchesPattern(SwapAsciiCase(pattern), name) == matches, "in the pattern too");
  return 0;
}
