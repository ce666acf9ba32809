// The directory search: one cursor for the whole run, started with a pattern path and advanced
// name by name.
//
// It reads the directory once, at the start, and keeps the names that match the pattern's last
// component, sorted by their bytes. It yields regular files (also through symbolic links), and
// passes over hidden names (beginning with "."), directories and every other kind of entry.
#pragma once

#include <string>
#include <string_view>

/// Whether `name` matches the wildcard `pattern`, ignoring ASCII letter case: "*" matches any
/// run of characters, "?" exactly one, "*.*" every name, and a pattern ending in "." the names
/// without a "." that match it without that ".".
bool MatchesPattern(std::string_view pattern, std::string_view name);

/// Starts the search (in place of any earlier one) for `pattern` (a host path whose last component
/// may hold wildcards) and yields its first match into `found`. Returns 0 for a match, 18 for none,
/// 3 when the directory is missing (or has wildcards, or the name pattern is over 255 bytes), 5
/// when it cannot be read.
int StartSearch(std::string_view pattern, std::string& found);

/// Yields the next match into `found`: 0, or 18 when there is none left.
int AdvanceSearch(std::string& found);
