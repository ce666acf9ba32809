// This file implements the diff: pairing lines, grouping changes into hunks and showing them.
#include "filter/unified_diff.h"

#include <algorithm>
#include <vector>

#include "console/glyphs.h"

namespace {

constexpr std::size_t kContext = 3;

constexpr std::string_view kRed = "\x1b[0;31m";
constexpr std::string_view kGreen = "\x1b[0;32m";
constexpr std::string_view kCyan = "\x1b[0;36m";
constexpr std::string_view kReset = "\x1b[0m";

// Splits `text` into lines, each with its line feed; the last may have none.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

class DiffWriter {
 public:
  explicit DiffWriter(DiffLook look) : look_(look) {}

  // Writes a header line: `text` and a line feed.
  void Header(std::string_view text, std::string_view colour) {
    Write("", text, colour);
    out_ += '\n';
  }

  // Writes a line of an input after its `mark`, with its line feed or the marker of a missing one.
  void SourceLine(std::string_view mark, std::string_view line, std::string_view colour = {}) {
    const bool endsLine = line.ends_with('\n');
    if (endsLine) line.remove_suffix(1);
    if (look_.terminal && endsLine && line.ends_with('\r')) line.remove_suffix(1);
    Write(mark, line, colour);
    out_ += endsLine ? "\n" : "\n\\ No newline at end of file\n";
  }

  std::string Take() { return std::move(out_); }

 private:
  void Write(std::string_view mark, std::string_view text, std::string_view colour) {
    if (look_.colours) out_ += colour;
    out_ += mark;
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (!look_.terminal || (byte >= 32 && byte < 127) || byte == '\t') {
        out_ += c;
      } else {
        const Utf8Glyph glyph = EncodeUtf8(GlyphOf(byte));
        out_.append(glyph.bytes, glyph.size);
      }
    }
    if (look_.colours && !colour.empty()) out_ += kReset;
  }

  DiffLook look_;
  std::string out_;
};

// A range of a hunk header: "start,count", the start alone for one line, and for no lines the
// line before the hunk.
std::string Range(std::size_t first, std::size_t count) {
  if (count == 1) return std::to_string(first + 1);
  return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

}  // namespace

std::string UnifiedDiff(std::string_view name, std::string_view original,
                        std::string_view converted, DiffLook look) {
  if (original == converted) return {};
  const std::vector<std::string_view> before = SplitLines(original);
  const std::vector<std::string_view> after = SplitLines(converted);
  const std::size_t lines = std::max(before.size(), after.size());
  const auto changed = [&](std::size_t i) {
    return i >= before.size() || i >= after.size() || before[i] != after[i];
  };
  const auto nextChange = [&](std::size_t from) {
    while (from < lines && !changed(from))
      ++from;
    return from;
  };

  DiffWriter diff(look);
  diff.Header("--- a/" + std::string(name), kRed);
  diff.Header("+++ b/" + std::string(name), kGreen);
  for (std::size_t change = nextChange(0); change < lines;) {
    // The hunk takes in every further change whose context would meet its own.
    const std::size_t first = change > kContext ? change - kContext : 0;
    std::size_t lastChange = change;
    for (std::size_t next;
         (next = nextChange(lastChange + 1)) < lines && next - lastChange - 1 <= 2 * kContext;) {
      lastChange = next;
    }
    const std::size_t end = std::min(lastChange + 1 + kContext, lines);
    // Every line before the first change is in both inputs, so neither ends before `first`.
    const auto countIn = [&](std::size_t size) { return std::min(end, size) - first; };
    diff.Header("@@ -" + Range(first, countIn(before.size())) + " +" +
                    Range(first, countIn(after.size())) + " @@",
                kCyan);
    for (std::size_t i = first; i < end;) {
      if (!changed(i)) {
        diff.SourceLine(" ", before[i++]);
        continue;
      }
      std::size_t runEnd = i;
      while (runEnd < end && changed(runEnd))
        ++runEnd;
      for (std::size_t j = i; j < std::min(runEnd, before.size()); ++j)
        diff.SourceLine("-", before[j], kRed);
      for (std::size_t j = i; j < std::min(runEnd, after.size()); ++j)
        diff.SourceLine("+", after[j], kGreen);
      i = runEnd;
    }
    change = nextChange(end);
  }
  return diff.Take();
}
