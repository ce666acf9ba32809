// The options of one run, taken from the command line once and read by the file loop and the
// converter. All six start false.
#pragma once

struct RunOptions {
  bool OptList = false;       ///< -L: list the known words after any other operation.
  bool OptQuiet = false;      ///< -Q: no echo of the converted text.
  bool OptUppercase = false;  ///< -U: reserved words in upper case.
  bool OptReserved = false;   ///< -R: -F also capitalises reserved words.
  bool OptFirst = false;      ///< -F: capitalise the first letter of words.
  bool OptDelete = false;     ///< -D: delete the backup after a successful conversion.
};
