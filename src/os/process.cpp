// This file implements the exit-hook chain and the run-time failure report.
#include "os/process.h"

#include <cstdlib>
#include <string>

#include "os/exit_status.h"
#include "os/io_codes.h"
#include "os/standard_streams.h"

namespace {

ExitHook exitHook = nullptr;

}  // namespace

ExitHook CurrentExitHook() {
  return exitHook;
}

void SetExitHook(ExitHook hook) {
  exitHook = hook;
}

void EndProcess(int status) {
  TakePendingIoCode();
  while (ExitHook hook = exitHook) {
    exitHook = nullptr;
    hook();
  }
  FlushStandardOutput();
  std::exit(status);
}

void FailIoChecked(std::string_view operation, int code) {
  std::string line = "ORVELT: run-time error: ";
  line += operation;
  line += " failed: ";
  line += IoMessage(code);
  line += " (" + std::to_string(code) + ")";
  WriteStandardErrorLine(line);
  EndProcess(ExitIoFailure);
}
