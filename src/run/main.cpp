// The program entry: the console is taken from standard output, the termination guard becomes
// the first exit hook, and the run goes; every end of the process passes through the hooks.
#include "console/console.h"
#include "os/exit_status.h"
#include "os/process.h"
#include "run/run_main.h"
#include "run/termination_guard.h"

int main(int argc, char** argv) {
  InitConsole(DetectConsole());
  InstallTerminationGuard();
  CatchInterrupts();
  // A process may be started without even a program name (argc 0); then there are no arguments.
  RunMain({argv + (argc > 0), static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)});
  EndProcess(ExitSuccess);
}
