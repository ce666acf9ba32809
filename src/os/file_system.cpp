// This file implements the file operations over POSIX and Linux calls.
#include "os/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "os/io_codes.h"
#include "os/process.h"

namespace {

int Failure(IoDirection direction = IoDirection::Other) {
  return IoCodeFromErrno(errno, direction);
}

}  // namespace

std::string HostPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  for (char& c : path) {
    if (c == '\\' || c == ':') c = '/';
  }
  path += name;
  return path;
}

// Only regular files are read: O_NONBLOCK keeps a fifo that stands where a source was from
// blocking the run, and the check turns it away.
int OpenForReading(const std::string& path, int& fd, FileIdentity& identity) {
  if (int pending = TakePendingIoCode()) return pending;
  const int opened = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (opened < 0) return Failure();
  struct stat status;
  if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(opened);
    return IoAccessDenied;
  }
  ::fcntl(opened, F_SETFL, ::fcntl(opened, F_GETFL) & ~O_NONBLOCK);
  fd = opened;
  identity = {status.st_mode & 0777, status.st_uid, status.st_gid};
  return IoOk;
}

int CreateExclusive(const std::string& path, const FileIdentity& like, int& fd) {
  if (int pending = TakePendingIoCode()) return pending;
  const int created =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
             like.permissions);
  if (created < 0) return Failure();
  fd = created;
  // Best effort: only a privileged user can hand the file back to its owner. fchmod comes last,
  // because the umask narrowed the bits that open was given.
  [[maybe_unused]] const int ownerKept = ::fchown(fd, like.owner, like.group);
  ::fchmod(fd, like.permissions);
  return IoOk;
}

int ReadBlock(int fd, char* buffer, std::size_t capacity, std::size_t& got) {
  got = 0;
  ssize_t count;
  while ((count = ::read(fd, buffer, capacity)) < 0 && errno == EINTR)
    EndIfInterrupted();
  if (count < 0) return Failure(IoDirection::Reading);
  got = static_cast<std::size_t>(count);
  return IoOk;
}

int WriteBlock(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t count = ::write(fd, data.data(), data.size());
    if (count < 0 && errno == EINTR) {
      EndIfInterrupted();
      continue;
    }
    if (count < 0) return Failure();
    if (count == 0) return IoDiskWriteError;
    data.remove_prefix(static_cast<std::size_t>(count));
  }
  return IoOk;
}

int SyncToDisk(int fd, const std::string& path) {
  if (::fsync(fd) != 0) return Failure();
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    // Some file systems cannot sync a directory; the file's own data is what must be safe.
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return IoOk;
}

int CloseFile(int& fd) {
  if (int pending = TakePendingIoCode()) return pending;
  const int result = ::close(fd);
  fd = -1;
  // Linux releases the descriptor even when close reports EINTR; never close it twice.
  return result == 0 || errno == EINTR ? IoOk : Failure();
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (int pending = TakePendingIoCode()) return pending;
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return IoOk;
  }
  if (errno != EINVAL && errno != ENOSYS) return Failure();
  // A file system without RENAME_NOREPLACE: a hard link never replaces either.
  if (::link(from.c_str(), to.c_str()) != 0) return Failure();
  if (::unlink(from.c_str()) != 0) {
    const int code = Failure();
    ::unlink(to.c_str());
    return code;
  }
  return IoOk;
}

bool IsLastNameOf(const std::string& path, int fd) {
  struct stat named, opened;
  return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &opened) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino && named.st_nlink == 1;
}

int DeleteFile(const std::string& path) {
  if (int pending = TakePendingIoCode()) return pending;
  return ::unlink(path.c_str()) == 0 ? IoOk : Failure();
}
