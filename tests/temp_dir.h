// A scratch directory for one test, removed with everything in it at the end.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  /// The path of `name` inside the directory.
  std::string operator/(std::string_view name) const;

  /// Creates (or replaces) the file `name` holding `bytes`, with `mode` permissions.
  void Write(std::string_view name, std::string_view bytes, mode_t mode = 0644) const;
  /// Returns the bytes of the file `name`; fails the test when it cannot be read.
  std::string Read(std::string_view name) const;
  /// Whether anything stands under `name` (without following a final symbolic link).
  bool Exists(std::string_view name) const;
  /// The names in the directory, sorted, without "." and "..".
  std::string Listing() const;

 private:
  std::string path_;
};

/// Reads a whole file; fails the test when it cannot.
std::string ReadFile(const std::string& path);
