// This file implements the directory search and its wildcard matching.
#include "os/dir_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "os/io_codes.h"

namespace {

constexpr std::size_t kLongestName = 255;

// The one search of the run: its matching regular files, in byte order.
std::vector<std::string> matchingNames;
std::size_t nextName = 0;

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool GlobMatches(std::string_view pattern, std::string_view name) {
  // Iterative matching with one backtrack point: the last "*" seen and where its run ended.
  std::size_t p = 0, n = 0;
  std::size_t starAt = std::string_view::npos, starRunEnd = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starRunEnd = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++starRunEnd;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

// Regular files, also through symbolic links; d_type spares a stat for most entries.
bool IsRegularFile(DIR* listing, const dirent& entry) {
  if (entry.d_type == DT_REG) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat status;
  return ::fstatat(::dirfd(listing), entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  if (pattern.size() > 1 && pattern.back() == '.') {
    return name.find('.') == std::string_view::npos &&
           GlobMatches(pattern.substr(0, pattern.size() - 1), name);
  }
  return GlobMatches(pattern, name);
}

int StartSearch(std::string_view pattern, std::string& found) {
  const std::size_t slash = pattern.rfind('/');
  const std::string dir =
      slash == std::string_view::npos ? "." : std::string(pattern.substr(0, slash + 1));
  const std::string_view namePattern = pattern.substr(slash + 1);
  if (dir.find_first_of("*?") != std::string::npos || namePattern.size() > kLongestName) {
    return IoPathNotFound;
  }
  matchingNames.clear();
  nextName = 0;
  DIR* listing = ::opendir(dir.c_str());
  if (listing == nullptr) {
    return errno == ENOENT ? IoPathNotFound : IoCodeFromErrno(errno, IoDirection::Reading);
  }
  while (const dirent* entry = ::readdir(listing)) {
    if (entry->d_name[0] != '.' && MatchesPattern(namePattern, entry->d_name) &&
        IsRegularFile(listing, *entry)) {
      matchingNames.emplace_back(entry->d_name);
    }
  }
  ::closedir(listing);
  std::ranges::sort(matchingNames);
  return AdvanceSearch(found);
}

int AdvanceSearch(std::string& found) {
  if (nextName == matchingNames.size()) return IoNoFilenameMatch;
  found = std::move(matchingNames[nextName++]);
  return IoOk;
}
