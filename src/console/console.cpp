// This file implements the console over the buffered standard output.
#include "console/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/glyphs.h"
#include "os/io_codes.h"
#include "os/process.h"
#include "os/standard_streams.h"

namespace {

// The bytes one source byte is painted as: at most three (a UTF-8 glyph of the BMP).
struct Painted {
  std::uint8_t size;
  char bytes[3];
};
using PaintTable = std::array<Painted, 256>;

constexpr Painted Utf8(char32_t c) {
  if (c < 0x80) return {1, {char(c)}};
  if (c < 0x800) return {2, {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))}};
  return {3, {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))}};
}

constexpr PaintTable BuildPaintTable(bool echo) {
  PaintTable table{};
  for (int b = 0; b < 256; ++b) {
    const bool actsAsItself =
        (b >= 32 && b < 127) || b == '\r' || b == '\n' || b == '\b' || b == '\t';
    table[b] = actsAsItself ? Painted{1, {char(b)}} : Utf8(GlyphOf(static_cast<unsigned char>(b)));
  }
  table['\a'] = {0, {}};  // the bell makes no sound and no mark
  if (echo) {
    table['\r'] = {0, {}};
    table['\n'] = {2, {'\r', '\n'}};
  }
  return table;
}

constexpr PaintTable kMessagePaint = BuildPaintTable(false);
constexpr PaintTable kEchoPaint = BuildPaintTable(true);

// The platform's colour order (blue before red) mapped onto the SGR foreground codes.
constexpr std::array<int, 16> kSgrForeground = {30, 34, 32, 36, 31, 35, 33, 37,
                                                90, 94, 92, 96, 91, 95, 93, 97};
constexpr int kForegroundBits = 0x0F, kBackgroundBits = 0x70, kHighBit = 0x80;

ConsoleSetup setup;
bool plainOutput = false;
int attribute = ColourNormal;       // the colour of the text written next
int shownAttribute = ColourNormal;  // the colour the terminal paints in now

void CollectPendingCode() {
  if (int code = TakePendingIoCode()) FailIoChecked("write to console", code);
}

void ShowAttribute() {
  if (!setup.colours || attribute == shownAttribute) return;
  shownAttribute = attribute;
  // The normal colour is a reset, so that the terminal's own colours show.
  std::string sgr = "\x1b[0";
  if (attribute != ColourNormal) {
    sgr += ';' + std::to_string(kSgrForeground[attribute & kForegroundBits]);
    if (attribute & kHighBit) sgr += ";100";
  }
  sgr += 'm';
  WriteStandardOutput(sgr);
}

void Paint(std::string_view text, const PaintTable& table) {
  CollectPendingCode();
  if (plainOutput) {
    WriteStandardOutput(text);
    return;
  }
  if (!setup.shown) return;
  // What paints as nothing (a bell, a carriage return of the echo) switches no colour.
  while (!text.empty() && table[static_cast<unsigned char>(text.front())].size == 0) {
    text.remove_prefix(1);
  }
  if (text.empty()) return;
  ShowAttribute();
  constexpr std::size_t kRoom = 4096;
  while (!text.empty()) {
    const std::span<char> room = ReserveStandardOutput(kRoom);
    char* out = room.data();
    char* const last = room.data() + room.size() - sizeof(Painted::bytes);
    std::size_t used = 0;
    while (used < text.size() && out <= last) {
      const Painted& painted = table[static_cast<unsigned char>(text[used++])];
      std::memcpy(out, painted.bytes, sizeof(painted.bytes));
      out += painted.size;
    }
    CommitStandardOutput(static_cast<std::size_t>(out - room.data()));
    text.remove_prefix(used);
  }
}

}  // namespace

ConsoleSetup DetectConsole() {
  ConsoleSetup detected;
  detected.shown = ::isatty(STDOUT_FILENO) == 1;
  const char* noColour = std::getenv("NO_COLOR");
  const char* term = std::getenv("TERM");
  detected.colours = detected.shown && !(noColour != nullptr && *noColour != '\0') &&
                     !(term != nullptr && std::strcmp(term, "dumb") == 0);
  struct winsize window;
  detected.width = ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &window) == 0 ? window.ws_col : 1;
  return detected;
}

void InitConsole(const ConsoleSetup& newSetup) {
  setup = newSetup;
  plainOutput = false;
  attribute = shownAttribute = ColourNormal;
}

bool ConsoleShown() {
  return setup.shown;
}

int ConsoleWidth() {
  return setup.width;
}

void SetColour(int colour) {
  attribute = (attribute & kBackgroundBits) | (colour & (kForegroundBits | kHighBit));
}

void ConsoleWrite(std::string_view text) {
  Paint(text, kMessagePaint);
}

void ConsoleEcho(std::string_view text) {
  Paint(text, kEchoPaint);
}

void ConsoleNewLine() {
  ConsoleWrite("\r\n");
  ConsoleFlush();
}

void ConsoleWriteLine(std::string_view text) {
  ConsoleWrite(text);
  ConsoleNewLine();
}

void ConsoleFlush() {
  FlushStandardOutput();
}

void SwitchToPlainOutput() {
  ConsoleFlush();
  plainOutput = true;
}
