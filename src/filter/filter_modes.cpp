// This file implements the three modes over the conversion of one input at a time.
#include "filter/filter_modes.h"

#include <algorithm>

#include "filter/checked_output.h"
#include "filter/input_conversion.h"

namespace {

enum Status : int { kUnchanged = 0, kChanged = 1 };

// The status of the inputs so far after one more: an error outweighs a change.
int Worse(int status, bool read, bool changed) {
  return std::max(status, !read ? kFilterErrorStatus : changed ? kChanged : kUnchanged);
}

// Converts one input through `take`; reports a failure to open or read it and returns false.
bool ConvertOrReport(const std::string& name, const RunOptions& options,
                     const ConvertedPiece& take) {
  const std::string failure = ConvertInput(name, options, take);
  if (failure.empty()) return true;
  ReportError(std::string(InputSubject(name)) + ": " + failure);
  return false;
}

}  // namespace

int WriteConversions(std::span<const std::string> files, const RunOptions& options) {
  int status = kUnchanged;
  for (const std::string& name : files) {
    const bool read = ConvertOrReport(
        name, options,
        [](std::string_view, std::string_view converted) { WriteOutput(converted); });
    status = Worse(status, read, false);
  }
  return status;
}

int CheckConversions(std::span<const std::string> files, const RunOptions& options) {
  int status = kUnchanged;
  for (const std::string& name : files) {
    bool differs = false;
    const bool read =
        ConvertOrReport(name, options, [&](std::string_view original, std::string_view converted) {
          differs = differs || original != converted;
        });
    if (read && differs) WriteOutput(name + "\n");
    status = Worse(status, read, differs);
  }
  return status;
}

int DiffConversions(std::span<const std::string> files, const RunOptions& options, DiffLook look) {
  int status = kUnchanged;
  for (const std::string& name : files) {
    std::string original, converted;
    const bool read = ConvertOrReport(
        name, options, [&](std::string_view originalPiece, std::string_view convertedPiece) {
          original += originalPiece;
          converted += convertedPiece;
        });
    const std::string diff = read ? UnifiedDiff(name, original, converted, look) : "";
    WriteOutput(diff);
    status = Worse(status, read, !diff.empty());
  }
  return status;
}
