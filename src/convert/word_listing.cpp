// This file implements the word listing. The window width of the start-up decides the number of
// columns; a width that leaves no room for one column of 20 (standard output not a terminal,
// among others) gives one word per line, unpadded, for pipes and scripts.
#include "convert/word_listing.h"

#include "console/console.h"
#include "convert/word_tables.h"

namespace {

constexpr int kColumnWidth = 20;

}  // namespace

std::string PadRight(std::string_view s, std::size_t width, char fill) {
  std::string padded(s.substr(0, width));
  padded.resize(width, fill);
  return padded;
}

void ListWords() {
  SwitchToPlainOutput();
  ConsoleWriteLine("The following words are recognized by ORVELT");
  ConsoleNewLine();
  const int cols = (ConsoleWidth() % 256) / kColumnWidth;
  for (std::size_t i = 1; i <= IdentTable.size(); ++i) {
    const std::string_view word = IdentTable[i - 1];
    if (cols == 0) {
      ConsoleWriteLine(word);
    } else if (static_cast<int>(i % cols) == cols - 1) {
      ConsoleWriteLine(PadRight(word, kColumnWidth - 1, ' '));
    } else {
      ConsoleWrite(PadRight(word, kColumnWidth, ' '));
    }
  }
  ConsoleNewLine();
}
