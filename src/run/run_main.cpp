// This file implements the run flow of the command line.
#include "run/run_main.h"

#include <algorithm>
#include <array>

#include "console/console.h"
#include "convert/word_listing.h"
#include "files/process_files.h"
#include "files/processed_names.h"
#include "os/exit_status.h"
#include "os/process.h"

namespace {

constexpr std::size_t kLongestParamLine = 255;
constexpr char kBell = '\a';

struct UsageRow {
  Colour colour;
  bool newline;
  std::string_view text;
};

constexpr std::array<UsageRow, 22> kUsage = {{
    {ColourHeading, false, "Usage:"},
    {ColourNormal, true, " ORVELT <options> <drive><path>filename<.ext> <options>"},
    {ColourNormal, true, "        < ... > denotes optional parameter"},
    {ColourNormal, true, "        if <.ext> is not specified .pas is assumed"},
    {ColourNormal, true, "        Note: Wildcards (*,?) are also allowed"},
    {ColourHeading, true, "Options:"},
    {ColourNormal, true, " -L --  (List) shows a listing of the words currently"},
    {ColourNormal, true, "        recognized by this program after any other operation."},
    {ColourNormal, true, " -Q --  (Quiet) suppresses the program listing."},
    {ColourNormal, true, " -U --  (Uppercase) convert all reserved words to"},
    {ColourNormal, true, "        uppercase, e.g. program ==> PROGRAM (the rest as usual)."},
    {ColourNormal, true, " -R --  (Reserved) Used in combination with -F below.  Reserved"},
    {ColourNormal, true, "        words will also be affected by the -F option below."},
    {ColourNormal, true,
     " -F --  (First) CAP the first letter of non-reserved words (unless -R is used)."},
    {ColourNormal, true,
     " -D --  (Delete .old) will delete the .old version if operation was successful."},
    {ColourNormal, true,
     "Purpose: Changes Turbo Pascal 5.5 Source programs by altering each word's"},
    {ColourNormal, true,
     "         case into its formal case for all reserved words as well as all other"},
    {ColourNormal, true,
     "         known identifiers.  The original file will be saved under the same"},
    {ColourNormal, true,
     "         name but with the extension \".old\". If a file with that name exists,"},
    {ColourNormal, true,
     "         it will be replaced.  All occurrences of the known identifiers will be"},
    {ColourNormal, true,
     "         affected.  NOTE: Comments within \"{\" and \"}\" and strings are NOT"},
    {ColourNormal, true, "         affected.  Comments within \"(*\" and \"*)\" ARE affected."},
}};

bool SetOption(char letter, RunOptions& options) {
  switch (letter) {
    case 'D':
    case 'd':
      return options.OptDelete = true;
    case 'F':
    case 'f':
      return options.OptFirst = true;
    case 'L':
    case 'l':
      return options.OptList = true;
    case 'Q':
    case 'q':
      return options.OptQuiet = true;
    case 'R':
    case 'r':
      return options.OptReserved = true;
    case 'U':
    case 'u':
      return options.OptUppercase = true;
    default:
      return false;
  }
}

[[noreturn]] void RefuseUnknownOption(char letter) {
  ConsoleWrite(std::string{kBell} + "Unknown option \"-" + letter + "\".  Try ORVELT for help.");
  ConsoleNewLine();
  EndProcess(ExitUnknownOption);
}

[[noreturn]] void RefuseTooManyParameters() {
  ConsoleWrite(std::string{kBell} + "ERROR: Too many parameters.  Please try again.");
  ConsoleNewLine();
  EndProcess(ExitTooManyParameters);
}

}  // namespace

void ShowBanner() {
  ConsoleNewLine();
  SetColour(ColourHeading);
  ConsoleWrite("ORVELT v");
  ConsoleWrite(kVersion);
  ConsoleWrite("  Formal word case for Turbo Pascal 5.5 sources, ");
  ConsoleWrite(kReleaseDate.substr(0, 4));
  ConsoleNewLine();
  SetColour(ColourNormal);
  ConsoleNewLine();
}

void ShowUsage() {
  for (const UsageRow& row : kUsage) {
    SetColour(row.colour);
    ConsoleWrite(row.text);
    if (row.newline) ConsoleNewLine();
  }
  EndProcess(ExitSuccess);
}

std::string BuildParamLine(std::span<const char* const> args) {
  std::string line;
  for (const char* arg : args) {
    line += arg;
    line += ' ';
  }
  if (line.size() > kLongestParamLine) line.resize(kLongestParamLine);
  return line;
}

std::optional<char> RemoveOptions(std::string& paramLine, RunOptions& options) {
  for (std::size_t dash; (dash = paramLine.find('-')) != std::string::npos;) {
    // A line cut at 255 characters can end in "-": the space that followed it was cut.
    const char letter = dash + 1 < paramLine.size() ? paramLine[dash + 1] : ' ';
    if (!SetOption(letter, options)) return letter;
    paramLine.erase(dash, 3);
  }
  return std::nullopt;
}

int CountParams(std::string_view paramLine) {
  return static_cast<int>(std::ranges::count(paramLine, ' '));
}

void RunMain(std::span<const char* const> args) {
  ShowBanner();
  ClearProcessedNames();
  RunOptions options;
  std::string paramLine = BuildParamLine(args);
  if (const std::optional<char> unknown = RemoveOptions(paramLine, options)) {
    RefuseUnknownOption(*unknown);
  }
  const int params = CountParams(paramLine);
  if (params == 0 && !options.OptList) ShowUsage();
  if (params >= 2) RefuseTooManyParameters();
  if (params == 1) {
    if (options.OptQuiet) {
      ConsoleWrite("Working...");
      ConsoleFlush();  // the conversion may take a while
    }
    ProcessFiles(paramLine, options);
    if (options.OptQuiet) {
      ConsoleWrite("\b\b\b\b\b\b\b\b\b\bDone!     ");
      ConsoleNewLine();
    }
    ConsoleNewLine();
  }
  if (options.OptList) ListWords();
}
