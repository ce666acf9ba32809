#include "console/console.h"

#include <gtest/gtest.h>

#include "console_capture.h"

namespace {

TEST(Console, WritesColoursAsSgrOnlyWhenTheyChange) {
  ConsoleCapture console;
  struct Case {
    int colour;
    std::string_view sgr;
  };
  const Case cases[] = {{9, "\x1b[0;94m"},       {15, "\x1b[0;97m"}, {14, "\x1b[0;93m"},
                        {132, "\x1b[0;31;100m"}, {0, "\x1b[0;30m"},  {4, "\x1b[0;31m"},
                        {1, "\x1b[0;34m"},       {12, "\x1b[0;91m"}, {135, "\x1b[0;37;100m"}};
  for (const Case& c : cases) {
    SetColour(c.colour);
    ConsoleWrite("x");
    EXPECT_EQ(console.Take(), std::string(c.sgr) + "x") << c.colour;
  }
  SetColour(9);
  ConsoleWrite("a");
  SetColour(7);
  ConsoleWrite("b");
  SetColour(9);
  SetColour(7);
  ConsoleWrite("c");
  SetColour(7);
  ConsoleWrite("d");
  EXPECT_EQ(console.Take(), "\x1b[0;94ma\x1b[0mbcd");
}

TEST(Console, PaintsControlAndHighBytesAsGlyphs) {
  ConsoleCapture console;
  ConsoleWrite(std::string_view("\r\n\b\t\a\x1b\x01\x7f\0\x80\xe1\xff", 12));
  EXPECT_EQ(console.Take(), "\r\n\b\t\u2190\u263a\u2302 \u00c7\u00df\u00a0");
  ConsoleEcho("a\r\nb\nc\r");
  EXPECT_EQ(console.Take(), "a\r\nb\r\nc");
  const std::string large(100000, '\xb0');
  ConsoleWrite(large);
  std::string expected;
  for (int i = 0; i < 100000; ++i)
    expected += "\u2591";
  EXPECT_EQ(console.Take(), expected);
}

TEST(Console, ShowsNoSgrWithoutColoursAndNothingWhenHidden) {
  {
    ConsoleCapture console(/*colours=*/false);
    SetColour(15);
    ConsoleWriteLine("plain");
    EXPECT_EQ(console.Take(), "plain\r\n");
  }
  ConsoleCapture console;
  InitConsole({.shown = false, .colours = false, .width = 1});
  SetColour(15);
  ConsoleWriteLine("hidden");
  EXPECT_EQ(console.Take(), "");
  SwitchToPlainOutput();
  SetColour(15);
  ConsoleWrite("\x1b\a plain ");
  ConsoleNewLine();
  EXPECT_EQ(console.Take(), "\x1b\a plain \r\n");
}

}  // namespace
