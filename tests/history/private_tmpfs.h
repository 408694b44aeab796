#pragma once

#include <filesystem>
#include <string>

namespace history_testing {

// A small tmpfs seen by this test process alone (a mount namespace of its own), so a full or
// read-only disk can be had without touching the machine's. Needs the right to mount (root);
// without it Ready() is false and Why() says what failed, for the test's skip message.
class PrivateTmpfs {
 public:
  PrivateTmpfs(const std::filesystem::path& at, std::size_t bytes);
  ~PrivateTmpfs();
  PrivateTmpfs(const PrivateTmpfs&) = delete;
  PrivateTmpfs& operator=(const PrivateTmpfs&) = delete;

  bool Ready() const { return mounted_; }
  const std::string& Why() const { return why_; }
  const std::filesystem::path& Path() const { return at_; }
  // Makes the mount read-only from now on; false (and Why()) when that failed.
  bool MakeReadOnly();

 private:
  std::filesystem::path at_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace history_testing
