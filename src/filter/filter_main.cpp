// The entry of orvelt-filter: reads the command line and runs the mode it asks for. A closed
// pipe on standard output must fail a write, which reports it, rather than end the process
// silently, so SIGPIPE is ignored.
#include <signal.h>

#include <string>

#include "console/console.h"
#include "filter/checked_output.h"
#include "filter/command_line.h"
#include "filter/filter_modes.h"
#include "run/run_main.h"

int main(int argc, char** argv) {
  ::signal(SIGPIPE, SIG_IGN);
  const std::size_t argCount = argc > 1 ? static_cast<std::size_t>(argc - 1) : 0;
  const FilterCommand command = ParseFilterCommandLine({argv + 1, argCount});
  if (!command.error.empty()) {
    ReportError(command.error);
    EndFilter(kFilterErrorStatus);
  }
  switch (command.mode) {
    case FilterMode::Help:
      WriteOutput(kFilterUsage);
      EndFilter(0);
    case FilterMode::Version:
      WriteOutput("orvelt-filter " + std::string(kVersion) + "\n");
      EndFilter(0);
    case FilterMode::Check:
      EndFilter(CheckConversions(command.files, command.options));
    case FilterMode::Diff: {
      const ConsoleSetup terminal = DetectConsole();
      EndFilter(DiffConversions(command.files, command.options,
                                {.colours = terminal.colours, .terminal = terminal.shown}));
    }
    case FilterMode::Convert:
      break;
  }
  EndFilter(WriteConversions(command.files, command.options));
}
