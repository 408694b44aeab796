#include "tests/history/private_tmpfs.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace history_testing {

PrivateTmpfs::PrivateTmpfs(const std::filesystem::path& at, std::size_t bytes) : at_(at) {
  std::error_code error;
  std::filesystem::create_directories(at_, error);
  if (::unshare(CLONE_NEWNS) != 0) {
    why_ = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    return;
  }
  // Mounts made from here on stay in this process's namespace.
  if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    why_ = std::string("making / private: ") + std::strerror(errno);
    return;
  }
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (::mount("tmpfs", at_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
    why_ = std::string("mount -t tmpfs: ") + std::strerror(errno);
    return;
  }
  mounted_ = true;
}

PrivateTmpfs::~PrivateTmpfs() {
  if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
}

bool PrivateTmpfs::MakeReadOnly() {
  if (::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
    why_ = std::string("remount read-only: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace history_testing
