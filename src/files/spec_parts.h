// The parts of a file specification as the program splits it. "/" counts as "\" and is kept as
// "\"; the directory runs up to and including the last "\" or ":", the extension from the last
// "." after it (the "." included), and the name is what lies between. Letter case stays.
#pragma once

#include <string>
#include <string_view>

struct SpecParts {
  std::string Dir;
  std::string Name;
  std::string Ext;
};

/// Splits a file specification into its directory, name and extension.
SpecParts SplitSpec(std::string_view spec);

/// The name of a directory entry without its extension: everything before its last ".". An
/// entry name has no directory part, whatever characters it holds.
std::string_view StemOfEntryName(std::string_view name);
