// A tmpfs over a directory of a test, seen only by the test process and its children (they move
// to a mount namespace of their own), for faults that need a file system of a given shape: one
// without free inodes, say. It needs the privilege to mount; mounted() tells whether it worked.
#pragma once

#include <string>

class PrivateTmpfs {
 public:
  /// Mounts a tmpfs with `options` (as for mount -o) on the existing directory `dir`.
  PrivateTmpfs(std::string dir, const std::string& options);
  ~PrivateTmpfs();
  PrivateTmpfs(const PrivateTmpfs&) = delete;
  PrivateTmpfs& operator=(const PrivateTmpfs&) = delete;

  bool mounted() const { return mounted_; }

 private:
  std::string dir_;
  bool mounted_ = false;
};
