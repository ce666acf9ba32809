// The process's standard output as one buffered byte stream, and standard error for the one-line
// failure reports. Everything the program shows goes through here, so the order of the two
// streams on a shared terminal is kept: standard output is flushed before standard error.
#pragma once

#include <span>
#include <string_view>

/// Sends standard output to `fd` instead of 1 (tests point it at a file of theirs).
void SetStandardOutputFd(int fd);

/// Appends `bytes` to the buffer of standard output; writes it out when it fills.
void WriteStandardOutput(std::string_view bytes);

/// Returns room for at least `size` bytes at the end of the buffer (size at most 4096); the
/// caller fills a prefix of it and passes its length to CommitStandardOutput.
std::span<char> ReserveStandardOutput(std::size_t size);

/// Makes the first `size` bytes of the last reserved room part of the stream.
void CommitStandardOutput(std::size_t size);

/// Writes out everything buffered. Write failures on standard output are dropped: a terminal
/// that went away must not turn into a failure of the conversion.
void FlushStandardOutput();

/// Flushes standard output, then writes `line` and a line feed to standard error.
void WriteStandardErrorLine(std::string_view line);
