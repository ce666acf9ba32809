// Points the console of the test process at a memory file, as if standard output were a
// terminal, and hands back the bytes it would have shown.
#pragma once

#include <string>

#include "console/console.h"

class ConsoleCapture {
 public:
  explicit ConsoleCapture(bool colours = true, int width = 80);
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  /// Flushes the console and returns what it wrote since the last call; the console starts
  /// afresh, in colour 7 on a terminal in colour 7.
  std::string Take();

 private:
  int fd_;
  ConsoleSetup setup_;
};
