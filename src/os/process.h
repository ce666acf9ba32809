// How the process ends. Every end passes through EndProcess, which runs the exit-hook chain
// before the process exits: hooks are called newest first, each taken off the chain before it
// runs, so a hook runs at most once and decides itself whether the earlier ones follow.
#pragma once

#include <string_view>

using ExitHook = void (*)();

/// Returns the hook that EndProcess will run first (nullptr when none).
ExitHook CurrentExitHook();

/// Makes `hook` the one that EndProcess runs first.
void SetExitHook(ExitHook hook);

/// Ends the process with `status`: drops a pending I/O code, runs the hook chain, flushes
/// standard output and exits.
[[noreturn]] void EndProcess(int status);

/// Ends the run after a failed I/O-checked operation: one line on standard error naming the
/// operation and the failure ("ORVELT: run-time error: write to PROG.PAS failed: Disk write
/// error (101)"), then EndProcess with status 217.
[[noreturn]] void FailIoChecked(std::string_view operation, int code);
