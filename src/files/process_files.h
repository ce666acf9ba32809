// The file loop: every file that matches the specification, in turn, is renamed to its backup
// (same directory and name, extension ".old"), reopened for reading, and converted into a new
// file under the name it had. Backup names and names already handled are passed over.
#pragma once

#include <string_view>

#include "run/run_options.h"

/// Converts every file matching `paramLine`, the specification followed by one space.
void ProcessFiles(std::string_view paramLine, const RunOptions& options);

/// True from the attempt to create an output file until the input of the pair is closed.
bool WritingOutput();

/// Whether an output file is open.
bool OutputSlotOpen();

/// Closes the open output file, dropping any failure: what was converted so far is in it.
void CloseOutputSlotQuietly();
