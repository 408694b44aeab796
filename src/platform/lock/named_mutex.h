#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace platform {

// A machine-wide named mutex: threads of this process and other processes that open the
// same name exclude each other. Behind it are an in-process mutex (threads sharing this
// object) and the system's lock: on Linux an exclusive flock() on a per-name lock file in a
// directory every local user can open, on Windows the kernel mutex of that name. Either is
// dropped when its holder dies, so a lock left by a dead process is simply acquired by the
// next one: nothing waits on a dead holder.
class NamedMutex {
  struct PrivateKey {};

 public:
  enum class Event { Locked, Unlocking };
  // Told right after the lock is taken and right before it is released, on the thread
  // that takes or releases it (the trace writes its LOCK and UNLOCK lines from here).
  using Observer = std::function<void(Event)>;

  struct OpenResult {
    std::unique_ptr<NamedMutex> mutex;  // null when the lock file could not be opened
    std::string error;                  // what went wrong and where, when mutex is null
  };

  // Opens the lock file of `name` in `directory`, creating it world-writable when no one
  // has yet. Never follows a symbolic link and refuses anything but a regular file, so a
  // link or FIFO planted in a shared directory cannot redirect or block it. On Windows the
  // kernel mutex `name` is opened, or created when no process has made it yet, and
  // `directory` is not used.
  static OpenResult Open(std::string_view name, const std::filesystem::path& directory);

  // Only Open can name the key. `handle` is the lock file's descriptor or the mutex's handle.
  NamedMutex(PrivateKey, std::intptr_t handle, std::filesystem::path path)
      : handle_(handle), path_(std::move(path)) {}
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  ~NamedMutex();

  // Waits without limit. Returns false only when the file lock itself cannot be taken
  // (an operating-system error), in which case nothing is held.
  bool Lock();
  // Takes the lock only when it is free at once.
  bool TryLock();
  // Releases a lock taken by this thread with Lock or TryLock.
  void Unlock();

  // Set before the mutex is shared between threads.
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

  // The lock file; on Windows the mutex's name.
  const std::filesystem::path& LockFilePath() const { return path_; }

 private:
  void Notify(Event event) const;

  const std::intptr_t handle_;
  const std::filesystem::path path_;
  std::mutex threads_;
  Observer observer_;
};

// The file name that stands for a mutex name: letters, digits, '_', '-' and '.' are kept,
// every other byte becomes %XX, so distinct names never share a file ("Global\Access" gives
// "named-mutex-Global%5CAccess.lock").
std::string LockFileName(std::string_view name);

// Where lock files live: $QUELTA_LOCK_DIR when set and not empty, else /tmp (sticky and
// open to every local user). Empty on Windows, where the system keeps the names.
std::filesystem::path DefaultLockDirectory();

}  // namespace platform
