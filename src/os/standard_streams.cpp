// This file implements the standard streams over write(2): one buffer, no system call per byte.
#include "os/standard_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "os/process.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::size_t kLargestReservation = 4096;

int outputFd = STDOUT_FILENO;
char buffer[kBufferSize];
std::size_t buffered = 0;

void WriteFully(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) {
      EndIfInterrupted();  // a terminal stopped with Ctrl-S must not hold off an interrupt
      continue;
    }
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace

void SetStandardOutputFd(int fd) {
  FlushStandardOutput();
  outputFd = fd;
}

void WriteStandardOutput(std::string_view bytes) {
  if (bytes.size() > kBufferSize - buffered) {
    FlushStandardOutput();
    if (bytes.size() > kBufferSize) {
      WriteFully(outputFd, bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buffer + buffered, bytes.data(), bytes.size());
  buffered += bytes.size();
}

std::span<char> ReserveStandardOutput(std::size_t size) {
  if (size > kLargestReservation) size = kLargestReservation;
  if (kBufferSize - buffered < size) FlushStandardOutput();
  return {buffer + buffered, kBufferSize - buffered};
}

void CommitStandardOutput(std::size_t size) {
  buffered += size;
}

void FlushStandardOutput() {
  const std::size_t size = buffered;
  buffered = 0;
  WriteFully(outputFd, buffer, size);
}

void WriteStandardErrorLine(std::string_view line) {
  FlushStandardOutput();
  std::string text(line);
  text += '\n';
  WriteFully(STDERR_FILENO, text.data(), text.size());
}
