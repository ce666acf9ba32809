// This file implements the exit-hook chain and the run-time failure report.
#include "os/process.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "os/exit_status.h"
#include "os/io_codes.h"
#include "os/standard_streams.h"

namespace {

ExitHook exitHook = nullptr;

volatile sig_atomic_t caughtSignal = 0;
volatile sig_atomic_t ending = 0;

void OnInterrupt(int signal) {
  // Only async-signal-safe work here. Once the process is ending, its output file has been
  // closed first of all, so ending at once loses nothing.
  if (ending) ::_exit(ExitInterruptedBase + signal);
  caughtSignal = signal;
}

}  // namespace

ExitHook CurrentExitHook() {
  return exitHook;
}

void SetExitHook(ExitHook hook) {
  exitHook = hook;
}

void EndProcess(int status) {
  ending = 1;
  if (caughtSignal != 0) status = ExitInterruptedBase + caughtSignal;
  TakePendingIoCode();
  while (ExitHook hook = exitHook) {
    exitHook = nullptr;
    hook();
  }
  FlushStandardOutput();
  std::exit(status);
}

void CatchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: blocking calls return EINTR and ask EndIfInterrupted
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal, &action, nullptr);
  ::signal(SIGXFSZ, SIG_IGN);
}

void EndIfInterrupted() {
  if (caughtSignal != 0) EndProcess(ExitInterruptedBase + caughtSignal);
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
