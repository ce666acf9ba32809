// The names already handled in this run: every file converted and every backup name passed
// over. Names are whole and compared byte for byte, letter case included; the set keeps each
// check constant-time however many files a run handles.
#pragma once

#include <string_view>

/// Starts the run with no names.
void ClearProcessedNames();

/// Records `name` as handled.
void AddProcessed(std::string_view name);

/// Whether `name` has not been handled yet.
bool IsNewName(std::string_view name);
