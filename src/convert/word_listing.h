// The word listing (-L): every entry of IdentTable in its order and spelling, in columns 20
// characters wide, written to standard output as plain text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// Writes the listing, switching the console to plain standard output for the rest of the run.
void ListWords();

/// Returns `s` filled up with `fill` to `width` characters, or cut to its first `width`.
std::string PadRight(std::string_view s, std::size_t width, char fill);
