// This file implements the checked standard output over write(2), with a buffer of its own.
#include "filter/checked_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

char buffer[kBufferSize];
std::size_t buffered = 0;

// Returns 0, or the errno of the write that failed.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return EIO;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

void WriteOrFail(const char* data, std::size_t size) {
  if (const int error = WriteAll(STDOUT_FILENO, data, size)) {
    ReportError(std::string("standard output: ") + std::strerror(error));
    std::exit(kFilterErrorStatus);
  }
}

}  // namespace

void WriteOutput(std::string_view bytes) {
  if (bytes.empty()) return;  // its data may be null, which memcpy must not see
  if (bytes.size() > kBufferSize - buffered) {
    FlushOutput();
    if (bytes.size() > kBufferSize) {
      WriteOrFail(bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buffer + buffered, bytes.data(), bytes.size());
  buffered += bytes.size();
}

void FlushOutput() {
  const std::size_t size = buffered;
  buffered = 0;  // before writing, so that the failure report does not flush it again
  WriteOrFail(buffer, size);
}

void ReportError(std::string_view message) {
  FlushOutput();
  std::string line = "orvelt-filter: ";
  line += message;
  line += '\n';
  // Nothing is left to tell about a failure to write standard error.
  static_cast<void>(WriteAll(STDERR_FILENO, line.data(), line.size()));
}

void EndFilter(int status) {
  FlushOutput();
  std::exit(status);
}
