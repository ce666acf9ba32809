// This file implements the console over the buffered standard output.
#include "console/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "console/glyphs.h"
#include "os/io_codes.h"
#include "os/process.h"
#include "os/standard_streams.h"

namespace {

// The bytes one source byte is painted as: itself, its glyph, or nothing.
using Painted = Utf8Glyph;
using PaintTable = std::array<Painted, 256>;

constexpr PaintTable BuildPaintTable(bool echo) {
  PaintTable table{};
  for (int b = 0; b < 256; ++b) {
    const bool actsAsItself =
        (b >= 32 && b < 127) || b == '\r' || b == '\n' || b == '\b' || b == '\t';
    table[b] =
        actsAsItself ? Painted{1, {char(b)}} : EncodeUtf8(GlyphOf(static_cast<unsigned char>(b)));
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

struct Sgr {
  std::uint8_t size;
  char text[12];  // the longest is ESC "[0;97;100m"
};

// The sequence for every attribute, made once. The normal colour is a reset, so that the
// terminal's own colours show; the others reset first, then set the foreground (and the high
// bit as a bright background).
constexpr std::array<Sgr, 256> kSgr = [] {
  std::array<Sgr, 256> sequences{};
  for (int attribute = 0; attribute < 256; ++attribute) {
    Sgr& sgr = sequences[attribute];
    const auto add = [&sgr](char c) { sgr.text[sgr.size++] = c; };
    add('\x1b');
    add('[');
    add('0');
    if (attribute != ColourNormal) {
      const int code = kSgrForeground[attribute & kForegroundBits];
      add(';');
      add(char('0' + code / 10));
      add(char('0' + code % 10));
      if (attribute & kHighBit) {
        for (char c : {';', '1', '0', '0'})
          add(c);
      }
    }
    add('m');
  }
  return sequences;
}();

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
  const Sgr& sgr = kSgr[attribute & 0xFF];
  WriteStandardOutput({sgr.text, sgr.size});
}

// How many bytes at the start of `text` paint as themselves in both tables: printable ASCII.
std::size_t PrintablePrefix(const char* text, std::size_t size) {
  std::size_t done = 0;
#if defined(__SSE2__)
  for (; done + 16 <= size; done += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + done));
    // Signed, the bytes from 0x80 are below 0x20 too.
    const int other = _mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F))));
    if (other != 0) return done + std::countr_zero(static_cast<unsigned>(other));
  }
#endif
  while (done < size && static_cast<unsigned char>(text[done]) - 0x20u < 0x5Fu)
    ++done;
  return done;
}

// Paints `text` into the buffer of standard output in the current colour.
void Paint(std::string_view text, const PaintTable& table) {
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
      // Runs of printable bytes go across whole; every other byte through its table entry.
      const std::size_t run = std::min(PrintablePrefix(text.data() + used, text.size() - used),
                                       static_cast<std::size_t>(last - out));
      std::memcpy(out, text.data() + used, run);
      out += run;
      used += run;
      if (used == text.size() || out > last) break;
      const Painted& painted = table[static_cast<unsigned char>(text[used++])];
      std::memcpy(out, painted.bytes, sizeof(painted.bytes));
      out += painted.size;
    }
    CommitStandardOutput(static_cast<std::size_t>(out - room.data()));
    text.remove_prefix(used);
  }
}

// Writes `text` as the console shows it, or as plain bytes in plain mode.
void Write(std::string_view text, const PaintTable& table) {
  CollectPendingCode();
  if (plainOutput) {
    WriteStandardOutput(text);
  } else if (setup.shown) {
    Paint(text, table);
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
  Write(text, kMessagePaint);
}

void ConsoleEcho(std::string_view text) {
  Write(text, kEchoPaint);
}

void ConsoleEchoInColours(std::string_view text, std::span<const ColourChange> changes) {
  CollectPendingCode();
  if (plainOutput || !setup.shown) return ConsoleEcho(text);
  std::size_t at = 0;
  for (const ColourChange& change : changes) {
    Paint(text.substr(at, change.offset - at), kEchoPaint);
    SetColour(change.colour);
    at = change.offset;
  }
  Paint(text.substr(at), kEchoPaint);
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
