// This file implements the console capture over a memfd. It does without GoogleTest, so that the
// fuzz targets capture the console the same way.
#include "console_capture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "console/console.h"
#include "os/standard_streams.h"

ConsoleCapture::ConsoleCapture(bool colours, int width)
    : fd_(::memfd_create("console", 0)), setup_{.shown = true, .colours = colours, .width = width} {
  SetStandardOutputFd(fd_);
  InitConsole(setup_);
}

ConsoleCapture::~ConsoleCapture() {
  FlushStandardOutput();
  SetStandardOutputFd(STDOUT_FILENO);
  InitConsole({});
  ::close(fd_);
}

std::string ConsoleCapture::Take() {
  FlushStandardOutput();
  std::string bytes;
  char buffer[65536];
  ::lseek(fd_, 0, SEEK_SET);
  for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, got);
  if (::ftruncate(fd_, 0) != 0) throw std::system_error(errno, std::generic_category(), "capture");
  ::lseek(fd_, 0, SEEK_SET);
  InitConsole(setup_);
  return bytes;
}
