// This file implements the split of file specifications and entry names.
#include "files/spec_parts.h"

SpecParts SplitSpec(std::string_view spec) {
  SpecParts parts;
  std::string path(spec);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  const std::size_t dirEnd = path.find_last_of("\\:") + 1;  // 0 when there is no directory
  const std::size_t dot = path.rfind('.');
  const std::size_t nameEnd = dot != std::string::npos && dot >= dirEnd ? dot : path.size();
  parts.Dir = path.substr(0, dirEnd);
  parts.Name = path.substr(dirEnd, nameEnd - dirEnd);
  parts.Ext = path.substr(nameEnd);
  return parts;
}

std::string_view StemOfEntryName(std::string_view name) {
  return name.substr(0, name.rfind('.'));
}
