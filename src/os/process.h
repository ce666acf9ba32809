// How the process ends. Every end passes through EndProcess, which runs the exit-hook chain
// before the process exits: hooks are called newest first, each taken off the chain before it
// runs, so a hook runs at most once and decides itself whether the earlier ones follow.
//
// SIGINT, SIGTERM and SIGHUP end the run through the same path: their handler only notes the
// signal, and the run ends at the next point that asks (EndIfInterrupted), with status 128 plus
// the signal. A signal that comes while the process is already ending ends it at once.
#pragma once

#include <string_view>

using ExitHook = void (*)();

/// Returns the hook that EndProcess will run first (nullptr when none).
ExitHook CurrentExitHook();

/// Makes `hook` the one that EndProcess runs first.
void SetExitHook(ExitHook hook);

/// Ends the process with `status` (128 plus the signal once one was caught): drops a pending
/// I/O code, runs the hook chain, flushes standard output and exits.
[[noreturn]] void EndProcess(int status);

/// Installs the handlers of SIGINT, SIGTERM and SIGHUP, without restarting interrupted calls so
/// that a write to a stopped terminal gives way; SIGXFSZ is ignored, so that a file-size limit
/// fails the write instead of killing the process.
void CatchInterrupts();

/// Ends the process through EndProcess if a signal was caught; returns otherwise.
void EndIfInterrupted();

/// Ends the run after a failed I/O-checked operation: one line on standard error naming the
/// operation and the failure ("ORVELT: run-time error: write to PROG.PAS failed: Disk write
/// error (101)"), then EndProcess with status 217.
[[noreturn]] void FailIoChecked(std::string_view operation, int code);
