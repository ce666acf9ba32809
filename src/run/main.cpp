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
  RunMain({argv + 1, static_cast<std::size_t>(argc - 1)});
  EndProcess(ExitSuccess);
}
