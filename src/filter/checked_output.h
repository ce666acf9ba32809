// Standard output and standard error of orvelt-filter. Unlike the console's stream, every write
// to standard output is checked: a filter whose output is lost (a closed pipe, a full disk) must
// not end as if it had succeeded, so a failed write reports itself and ends the process.
#pragma once

#include <string_view>

/// The status of a run that met an error.
inline constexpr int kFilterErrorStatus = 2;

/// Appends `bytes` to standard output, writing it out as the buffer fills.
void WriteOutput(std::string_view bytes);

/// Writes out everything buffered.
void FlushOutput();

/// Flushes standard output, then writes "orvelt-filter: ", `message` and a line feed to standard
/// error.
void ReportError(std::string_view message);

/// Flushes standard output and ends the process with `status`.
[[noreturn]] void EndFilter(int status);
