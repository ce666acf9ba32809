// This file implements the termination guard.
#include "run/termination_guard.h"

#include "console/console.h"
#include "files/process_files.h"
#include "os/process.h"

namespace {

ExitHook savedExitHook = nullptr;

}  // namespace

void InstallTerminationGuard() {
  savedExitHook = CurrentExitHook();
  SetExitHook(TerminationGuard);
}

void TerminationGuard() {
  SetExitHook(savedExitHook);
  if (WritingOutput()) {
    if (OutputSlotOpen()) CloseOutputSlotQuietly();
    ConsoleWrite("\a");
    ConsoleNewLine();
    SetColour(ColourWarning);
    ConsoleWrite("WARNING:");
    SetColour(ColourHeading);
    ConsoleWriteLine(" Abnormal termination due to error or user interrupt.");
    ConsoleWriteLine("Output file may be incomplete.  Use \".OLD\" version to");
    ConsoleWriteLine("restore the original version.");
  }
  SetColour(ColourNormal);
  ConsoleWrite(" \r");
}
