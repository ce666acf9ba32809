// This file implements the console capture over a memfd.
#include "console_capture.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

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
  if (::ftruncate(fd_, 0) != 0) ADD_FAILURE() << "cannot empty the capture";
  ::lseek(fd_, 0, SEEK_SET);
  InitConsole(setup_);
  return bytes;
}
