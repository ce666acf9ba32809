// The program entry: the console is taken from standard output, the run goes, and the process
// ends through the exit hooks.
#include "console/console.h"
#include "os/exit_status.h"
#include "os/process.h"
#include "run/run_main.h"

int main(int argc, char** argv) {
  InitConsole(DetectConsole());
  RunMain({argv + 1, static_cast<std::size_t>(argc - 1)});
  EndProcess(ExitSuccess);
}
