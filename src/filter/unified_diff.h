// The unified diff of an input against its conversion. A conversion changes only letters and
// drops what follows a Ctrl-Z, so line i of the conversion is the counterpart of line i of the
// original, and the original may have lines more at the end; no search for common lines is
// needed. Hunks carry three lines of context and merge when their contexts would meet.
//
// Lines end at a line feed, and every other byte is part of the line, so a CRLF line end keeps
// its carriage return as the last byte of the line, before the line feed, as in the file (a diff
// applies to CRLF files as it is). A last line without a line feed is followed by the marker line
// "\ No newline at end of file", as unified diffs show it.
#pragma once

#include <string>
#include <string_view>

/// How the diff is shown.
struct DiffLook {
  /// Colour the file headers and removed lines red, added lines green, hunk headers cyan.
  bool colours = false;
  /// It goes to a terminal: control bytes and bytes above 126 show as the glyphs of code page
  /// 437, as the echo of orvelt shows them, and the carriage return of a CRLF as nothing.
  bool terminal = false;
};

/// Returns the diff from `original` to `converted` with the headers "--- a/NAME" and
/// "+++ b/NAME"; empty when the two are the same.
std::string UnifiedDiff(std::string_view name, std::string_view original,
                        std::string_view converted, DiffLook look);
