// This file implements the private tmpfs over unshare(2) and mount(2).
#include "private_mount.h"

#include <sched.h>
#include <sys/mount.h>

namespace {

bool EnterPrivateMountNamespace() {
  static const bool entered = ::unshare(CLONE_NEWNS) == 0 &&
                              ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return entered;
}

}  // namespace

PrivateTmpfs::PrivateTmpfs(std::string dir, const std::string& options) : dir_(std::move(dir)) {
  mounted_ = EnterPrivateMountNamespace() &&
             ::mount("orvelt-test", dir_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

PrivateTmpfs::~PrivateTmpfs() {
  if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
}
