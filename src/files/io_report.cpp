// This file implements the numbered I/O report.
#include "files/io_report.h"

#include <string>

#include "console/console.h"
#include "os/io_codes.h"
#include "os/process.h"

void ReportIoError(int code, IoReport kind) {
  if (code == IoOk) return;
  ConsoleWrite("\rERROR " + std::to_string(code) + ": ");
  ConsoleWriteLine(IoMessage(code));
  // The status is the code itself: a run that ends on a failure never reports success.
  if (kind == IoReport::Fatal) EndProcess(code);
}
