// This file implements the scratch directories of the tests.
#include "temp_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvelt-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
}

TempDir::~TempDir() {
  // Tests take permissions away; give them back so that everything can go.
  std::error_code ignored;
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      ::chmod(it->path().c_str(), 0755);
    }
  }
  ::chmod(path_.c_str(), 0755);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::operator/(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

void TempDir::Write(std::string_view name, std::string_view bytes, mode_t mode) const {
  const std::string file = *this / name;
  ::unlink(file.c_str());
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
  ASSERT_GE(fd, 0) << file;
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::fchmod(fd, mode);
  ::close(fd);
}

std::string TempDir::Read(std::string_view name) const {
  return ReadFile(*this / name);
}

bool TempDir::Exists(std::string_view name) const {
  struct stat status;
  return ::lstat((*this / name).c_str(), &status) == 0;
}

std::string TempDir::Listing() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::ranges::sort(names);
  std::string joined;
  for (const auto& name : names)
    joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

std::string ReadFile(const std::string& path) {
  // In one piece of the file's size: tests read files of many MiB.
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (fd < 0 || ::fstat(fd, &status) != 0) {
    ADD_FAILURE() << "cannot read " << path;
    if (fd >= 0) ::close(fd);
    return bytes;
  }
  bytes.resize(static_cast<std::size_t>(status.st_size));
  std::size_t got = 0;
  for (ssize_t count;
       got < bytes.size() && (count = ::read(fd, bytes.data() + got, bytes.size() - got)) > 0;) {
    got += static_cast<std::size_t>(count);
  }
  bytes.resize(got);
  ::close(fd);
  return bytes;
}
