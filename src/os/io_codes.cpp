// This file implements the I/O code table, the errno mapping and the pending code.
#include "os/io_codes.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace {

struct IoMessageEntry {
  int code;
  std::string_view message;
};

constexpr std::array<IoMessageEntry, 28> IoMessageTable = {{
    {2, "File not found"},
    {3, "Path not found"},
    {5, "Access denied"},
    {6, "Invalid handle"},
    {8, "Not enough memory"},
    {10, "Invalid environment"},
    {11, "Invalid format"},
    {18, "No filename match"},
    {100, "Disk read error"},
    {101, "Disk write error"},
    {102, "File not assigned"},
    {103, "File not open"},
    {104, "File not open for input"},
    {105, "File not open for output"},
    {106, "Invalid numeric format"},
    {150, "Disk is write-protected"},
    {151, "Unknown unit"},
    {152, "Drive not ready"},
    {153, "Unknown command"},
    {154, "CRC error in data"},
    {155, "Bad drive request structure length"},
    {156, "Disk seek error"},
    {157, "Unknown media type"},
    {158, "Sector not found"},
    {159, "Printer out of paper"},
    {160, "Device write fault"},
    {161, "Device read fault"},
    {162, "Hardware failure"},
}};
static_assert(std::ranges::is_sorted(IoMessageTable, {}, &IoMessageEntry::code));

int pendingCode = IoOk;

}  // namespace

int IoCodeFromErrno(int error, IoDirection direction) {
  switch (error) {
    case 0:
      return IoOk;
    case ENOENT:
      return IoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return IoPathNotFound;
    case EACCES:
    case EPERM:
    case EEXIST:
    case ENOTEMPTY:
    case EISDIR:
    case EBUSY:
    case ETXTBSY:
      return IoAccessDenied;
    case EBADF:
      return IoInvalidHandle;
    case ENOMEM:
      return IoNotEnoughMemory;
    case EIO:
      return direction == IoDirection::Reading ? IoDiskReadError : IoDiskWriteError;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return IoDiskWriteError;
    case EROFS:
      return IoWriteProtected;
    default:
      return std::min(error, 255);
  }
}

std::string_view IoMessage(int code) {
  const auto entry = std::ranges::lower_bound(IoMessageTable, code, {}, &IoMessageEntry::code);
  return entry != IoMessageTable.end() && entry->code == code ? entry->message : "Unknown error";
}

void SetPendingIoCode(int code) {
  pendingCode = code;
}

int TakePendingIoCode() {
  return std::exchange(pendingCode, IoOk);
}
