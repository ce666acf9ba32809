// I/O codes: the program's numbering of file-system failures, the mapping of this platform's
// errno values into it, the fixed message of every code, and the one code that a deferred
// failure leaves pending until some later operation collects it.
//
// The numbering and the messages live here, below every user of them, so that the file system,
// the console and the failure reports all speak the same codes.
#pragma once

#include <string_view>

enum IoCode : int {
  IoOk = 0,
  IoFileNotFound = 2,
  IoPathNotFound = 3,
  IoAccessDenied = 5,
  IoInvalidHandle = 6,
  IoNotEnoughMemory = 8,
  IoNoFilenameMatch = 18,
  IoDiskReadError = 100,
  IoDiskWriteError = 101,
  IoWriteProtected = 150,
};

/// Whether a failed call was reading; an I/O error is a read error (100) only then.
enum class IoDirection { Reading, Other };

/// Maps an errno value of a failed call to its I/O code (unlisted values pass on, at most 255).
int IoCodeFromErrno(int error, IoDirection direction = IoDirection::Other);

/// Returns the fixed message of an I/O code; "Unknown error" for a code without one.
std::string_view IoMessage(int code);

/// Leaves `code` pending: open, close, rename, delete and console writes refuse until collected.
void SetPendingIoCode(int code);

/// Collects the pending code: returns it (0 when none) and clears it.
int TakePendingIoCode();
