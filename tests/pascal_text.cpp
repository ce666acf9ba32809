// This file implements the text generator over a fixed pseudo-random engine, whose output is the
// same on every platform (the distributions of the standard library are not, so none is used).
#include "pascal_text.h"

#include <array>
#include <random>
#include <string_view>

#include "convert/word_tables.h"

namespace {

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : engine_(seed) {}

  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }

  // A word in one of the letter cases people write: as listed, lower, upper, alternating.
  std::string InSomeCase(std::string_view word) {
    std::string cased(word);
    const std::size_t style = Below(5);
    for (std::size_t i = 0; i < cased.size(); ++i) {
      char& c = cased[i];
      const bool upper = style == 1 || (style == 3 && i % 2 == 0) || (style == 4 && OneIn(2));
      if (style == 0) continue;
      if (upper && c >= 'a' && c <= 'z') c = char(c - 32);
      if (!upper && c >= 'A' && c <= 'Z') c = char(c + 32);
    }
    return cased;
  }

  std::string Identifier() {
    static constexpr std::array<std::string_view, 12> kUnknown = {
        "myVar", "Counter1", "x_y",     "Write_Ln", "i",          "j",
        "Total", "_tmp",     "Buffer2", "ReadIt",   "TextColour", "k9"};
    if (OneIn(40)) return std::string(20 + Below(30), 'q');
    return InSomeCase(kUnknown[Below(kUnknown.size())]);
  }

  std::string Piece() {
    switch (Below(16)) {
      case 0:
      case 1:
      case 2:
        return InSomeCase(ReservedTable[Below(ReservedTable.size())]) + " ";
      case 3:
      case 4:
      case 5:
        return InSomeCase(IdentTable[Below(IdentTable.size())]);
      case 6:
      case 7:
        return Identifier();
      case 8:
        return std::to_string(Below(100000)) + (OneIn(3) ? ".5" : "");
      case 9: {
        static constexpr std::array<std::string_view, 14> kOperators = {
            " := ", "; ", ", ", "(", ")", " + ", " - ", "*", "[", "]", ".", ": ", " = ", " <> "};
        return std::string(kOperators[Below(kOperators.size())]);
      }
      case 10:
        return OneIn(4) ? "\n" : "\r\n";
      case 11:
        return "'It''s " + InSomeCase("Begin") + " {not a comment ' + " + Identifier() + "'";
      case 12:
        return "{ " + InSomeCase("WriteLn") + " 'quote in a comment " + Identifier() + " }";
      case 13:
        return "(* " + InSomeCase("begin") + " " + InSomeCase("TextColor") + " *)";
      case 14:
        return OneIn(2) ? "  " : "\t";
      default:
        return "\x82t\xe9 ";
    }
  }

  std::string HostilePiece() {
    switch (Below(8)) {
      case 0: {
        const char control = char(Below(31));
        return std::string(1, control == 26 ? char(31) : control);
      }
      case 1:
        return "\x1b[2J\x1b]0;title\a";
      case 2:
        return std::string(1, char(128 + Below(128)));
      case 3:
        return OneIn(2) ? "'" : (OneIn(2) ? "{" : "}");
      case 4:
        return "\x7f\b";
      case 5:
        return std::string(1, '\0');
      default:
        return std::string(Below(300), char('a' + Below(26)));
    }
  }

 private:
  std::mt19937_64 engine_;
};

}  // namespace

std::string GeneratePascalText(std::size_t size, std::uint64_t seed, bool hostile) {
  Generator generator(seed);
  std::string text;
  text.reserve(size + 512);
  while (text.size() < size) {
    text += hostile && generator.OneIn(6) ? generator.HostilePiece() : generator.Piece();
  }
  text.resize(size);
  return text;
}
