// The console: where the program's messages and the echo of converted text appear. It stands for
// the colour text console of the program's origin, on standard output when that is a terminal:
// colours become ANSI SGR sequences (written only when the colour changes), control bytes and
// bytes above 127 are painted as their code page 437 glyphs in UTF-8, so no byte of a source ever
// reaches the terminal as a control sequence. When standard output is not a terminal, everything
// written here is accepted and dropped, until SwitchToPlainOutput makes it a plain byte stream.
//
// Every write first collects a pending I/O code; one that was pending fails the write as an
// I/O-checked operation.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

/// The colours the program uses; a colour sets the foreground (0 to 15) and the high bit (128).
enum Colour : int {
  ColourNormal = 7,     ///< Light grey.
  ColourKnownWord = 9,  ///< Light blue.
  ColourNotice = 14,    ///< Yellow.
  ColourHeading = 15,   ///< White.
  ColourWarning = 132,  ///< Red with the high bit (a bright background here).
};

/// What the console is attached to.
struct ConsoleSetup {
  bool shown = false;    ///< Standard output is a terminal.
  bool colours = false;  ///< SGR sequences are wanted (not for NO_COLOR or TERM=dumb).
  int width = 1;         ///< Window width in cells; 1 when unknown.
};

/// Reads the setup from standard output and the environment (NO_COLOR, TERM).
ConsoleSetup DetectConsole();

/// Starts the console with `setup`, in colour 7 and not in plain mode.
void InitConsole(const ConsoleSetup& setup);

/// Whether text written to the console is shown anywhere.
bool ConsoleShown();

/// The window width taken at start-up.
int ConsoleWidth();

/// Sets the colour of the text written after it; has no effect in plain mode.
void SetColour(int colour);

/// Writes `text` as the console shows it: carriage return, line feed, backspace and tab act as
/// such, the bell is dropped, every other byte shows as its glyph.
void ConsoleWrite(std::string_view text);

/// Writes converted source text: as ConsoleWrite, except that carriage returns are dropped and
/// each line feed starts with a carriage return of its own.
void ConsoleEcho(std::string_view text);

/// A change of colour before the byte at `offset` of a text.
struct ColourChange {
  std::uint32_t offset;
  std::uint8_t colour;
};

/// Writes converted source text as ConsoleEcho does, switching to the colour of each of
/// `changes` (in the order of their offsets) before the byte at its offset.
void ConsoleEchoInColours(std::string_view text, std::span<const ColourChange> changes);

/// Ends the line (carriage return and line feed) and flushes.
void ConsoleNewLine();

/// Writes `text` and ends the line.
void ConsoleWriteLine(std::string_view text);

/// Passes everything written so far to the terminal.
void ConsoleFlush();

/// From now on everything written here goes to standard output as plain bytes without colours,
/// whether it is a terminal or not.
void SwitchToPlainOutput();
