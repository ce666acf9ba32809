// This file implements the set of handled names.
#include "files/processed_names.h"

#include <string>
#include <unordered_set>

namespace {

std::unordered_set<std::string> ProcessedNames;

}  // namespace

void ClearProcessedNames() {
  ProcessedNames.clear();
}

void AddProcessed(std::string_view name) {
  ProcessedNames.emplace(name);
}

bool IsNewName(std::string_view name) {
  return !ProcessedNames.contains(std::string(name));
}
