// What orvelt-filter does with its inputs: write their conversion to standard output, name the
// ones the conversion would change, or show the changes as a diff. None of them changes a file.
// Each returns the exit status: 2 when any input could not be read, otherwise (for check and
// diff) 1 when any input would change and 0 when none would.
#pragma once

#include <span>
#include <string>

#include "filter/unified_diff.h"
#include "run/run_options.h"

/// Writes the conversion of each input, one after the other, to standard output.
int WriteConversions(std::span<const std::string> files, const RunOptions& options);

/// Writes the name of each input whose conversion differs from it, one to a line.
int CheckConversions(std::span<const std::string> files, const RunOptions& options);

/// Writes the unified diff of each input against its conversion.
int DiffConversions(std::span<const std::string> files, const RunOptions& options, DiffLook look);
