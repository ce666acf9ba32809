// This file implements the character-at-a-time scanner.
#include "convert/reference_scanner.h"

#include <optional>

#include "console/console.h"
#include "convert/case_rules.h"
#include "convert/word_tables.h"

namespace {

constexpr char kEndOfText = 26;

// Immutable for one conversion.
std::string_view Source;
const RunOptions* Options = nullptr;

// Scanning state.
std::size_t NextByte = 0;
std::string Output;
std::string CurrentWord;
bool InString = false;
bool InBraceComment = false;

bool AtEndOfInput() {
  return NextByte == Source.size() || Source[NextByte] == kEndOfText;
}

char ReadSourceChar() {
  return AtEndOfInput() ? ' ' : Source[NextByte++];
}

void EmitChar(char c) {
  Output += c;
  if (c == '\r' || Options->OptQuiet) return;
  if (c == '\n') ConsoleWrite("\r");
  ConsoleWrite({&c, 1});
}

void EmitWord() {
  for (char c : CurrentWord)
    EmitChar(c);
}

void TrackQuoting(char c) {
  if (c == '\'' && !InBraceComment) InString = !InString;
  if (c == '{' && !InString) InBraceComment = true;
  if (c == '}' && !InString) InBraceComment = false;
}

void ScanStep() {
  char c;
  do {  // separators
    c = ReadSourceChar();
    if (!IsWordChar(c)) EmitChar(c);
    TrackQuoting(c);
  } while (!IsWordChar(c) && !AtEndOfInput());
  if (!IsWordChar(c)) return;

  CurrentWord = c;
  std::optional<char> terminator;
  while (!AtEndOfInput()) {
    c = ReadSourceChar();
    if (!IsWordChar(c)) {
      terminator = c;
      break;
    }
    CurrentWord += c;
  }
  bool recognised = false;
  if (!InString && !InBraceComment) {
    recognised = ApplyCaseRules(CurrentWord, ClassifyBySearch(CurrentWord), *Options);
  }
  if (terminator) TrackQuoting(*terminator);
  if (recognised) SetColour(ColourKnownWord);
  EmitWord();
  if (recognised) SetColour(ColourNormal);
  if (terminator) EmitChar(*terminator);
}

}  // namespace

std::string ConvertByCharacters(std::string_view input, const RunOptions& options) {
  Source = input;
  Options = &options;
  NextByte = 0;
  Output.clear();
  InString = InBraceComment = false;
  while (!AtEndOfInput())
    ScanStep();
  ConsoleFlush();
  return Output;
}
