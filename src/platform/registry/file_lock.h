#pragma once

#include <filesystem>

namespace platform {

// An exclusive lock on a lock file, held for the life of the object. The OS drops it when the
// process dies, so a writer killed halfway never leaves the file locked. Threads and processes
// exclude each other alike (each lock opens the file anew).
class FileLock {
 public:
  // Blocks until the lock is held, or until opening or locking the file failed.
  explicit FileLock(const std::filesystem::path& lockFile);
  ~FileLock();

  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
