// This file implements the conversion of one input over read(2) and the engine's block scanner.
#include "filter/input_conversion.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "convert/scanner.h"

namespace {

// An input open for reading; closes it unless it is standard input.
class InputFd {
 public:
  explicit InputFd(std::string_view name) {
    if (name == kStandardInputName) {
      fd_ = STDIN_FILENO;
      return;
    }
    fd_ = ::open(std::string(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) error_ = errno;
  }
  ~InputFd() {
    if (fd_ > STDIN_FILENO) ::close(fd_);
  }
  InputFd(const InputFd&) = delete;
  InputFd& operator=(const InputFd&) = delete;

  /// Reads up to `capacity` bytes; 0 at the end of the input and after a failure.
  std::size_t Read(char* buffer, std::size_t capacity) {
    if (error_ != 0) return 0;
    ssize_t got;
    while ((got = ::read(fd_, buffer, capacity)) < 0 && errno == EINTR) {
    }
    if (got >= 0) return static_cast<std::size_t>(got);
    error_ = errno;
    return 0;
  }

  /// The errno of the first failure, 0 when none.
  int error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace

std::string ConvertInput(std::string_view name, const RunOptions& options,
                         const ConvertedPiece& take) {
  InputFd input(name);
  if (input.error() != 0) return std::strerror(input.error());
  // The bytes read and not yet converted; the engine holds back at most one block of them.
  std::string original;
  original.reserve(kBlockSize);
  ConvertStream({.read =
                     [&](char* buffer, std::size_t capacity) {
                       const std::size_t got = input.Read(buffer, capacity);
                       original.append(buffer, got);
                       return got;
                     },
                 .write =
                     [&](std::string_view converted) {
                       take(std::string_view(original).substr(0, converted.size()), converted);
                       original.erase(0, converted.size());
                     }},
                options, /*echo=*/false);
  // From a Ctrl-Z on, the rest is read to the end as well, so that a writer on a pipe is not
  // cut off and a comparison sees all of the original.
  if (!original.empty()) take(original, {});
  char rest[kBlockSize];
  for (std::size_t got; (got = input.Read(rest, sizeof rest)) > 0;)
    take({rest, got}, {});
  return input.error() != 0 ? std::strerror(input.error()) : std::string();
}

std::string_view InputSubject(std::string_view name) {
  return name == kStandardInputName ? "standard input" : name;
}
