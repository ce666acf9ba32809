// The termination guard: the exit hook that warns when the run ends while an output file is
// being written, and that leaves the console in colour 7 at the start of a line at every end.
#pragma once

/// Makes the guard the first exit hook, ahead of any installed before it.
void InstallTerminationGuard();

/// Runs once at the end of the process: closes an unfinished output (what was converted so far
/// is in it) and shows the warning that it may be incomplete and that the backup restores it.
void TerminationGuard();
