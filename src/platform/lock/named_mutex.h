#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace platform {

// Who holds a lock, as the holder wrote it into the lock file when it took the lock.
struct LockHolder {
  std::int64_t pid = 0;
  std::uint32_t uid = 0;
  friend bool operator==(const LockHolder&, const LockHolder&) = default;
};

// A machine-wide named mutex: threads of this process and other processes that open the
// same name exclude each other. Behind it are an in-process mutex (threads sharing this
// object) and the system's lock: on Linux an exclusive flock() on a per-name lock file in a
// directory every local user can open, on Windows the kernel mutex of that name. Either is
// dropped when its holder dies, so a lock left by a dead process is simply acquired by the
// next one: nothing waits on a dead holder.
// Whoever takes the lock writes its pid and uid into the file ("pid 4242 uid 1000") and
// empties it again before releasing, so a process kept waiting can say who holds it. The
// file is shared with every local user: what it holds is a hint to show, never trusted.
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
  // Waits at most `limit`, and no longer once `stop` is requested; nothing is held unless it
  // returns Acquired. flock() has no time-out, so this wait takes the lock only when it is
  // free and looks again every kLockRetry in between. kNoLimit waits until taken or stopped.
  enum class WaitResult { Acquired, TimedOut, Stopped, Failed };
  static constexpr std::chrono::milliseconds kNoLimit = std::chrono::milliseconds::max();
  static constexpr std::chrono::milliseconds kLockRetry{20};
  WaitResult LockWithin(std::chrono::milliseconds limit, std::stop_token stop = {});
  // Takes the lock only when it is free at once.
  bool TryLock();
  // Releases a lock taken by this thread with Lock or TryLock.
  void Unlock();

  // Set before the mutex is shared between threads.
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

  // The lock file; on Windows the mutex's name.
  const std::filesystem::path& LockFilePath() const { return path_; }

  // The holder the lock file names now; nothing when it names none (the lock is free, is
  // being taken, or is held by a program that does not write its name) or holds garbage.
  std::optional<LockHolder> Holder() const;

 private:
  enum class Attempt { Taken, Busy, Failed };
  Attempt TryTake();
  void Notify(Event event) const;
  void RecordHolder() const;
  void ForgetHolder() const;

  const std::intptr_t handle_;
  const std::filesystem::path path_;
  // Held by the thread that holds the lock, from before the system lock is taken until after
  // it is given back: the system lock (flock on one descriptor, or the kernel mutex, which the
  // same thread may take again) does not keep out other threads of this process.
  std::mutex threads_;
  Observer observer_;
};

// The file name that stands for a mutex name: letters, digits, '_', '-' and '.' are kept,
// every other byte becomes %XX, so distinct names never share a file ("Global\Access" gives
// "named-mutex-Global%5CAccess.lock").
std::string LockFileName(std::string_view name);

// The holder as people read it: "pid 4242, user alice" (the uid when it has no name), or
// "an unknown process".
std::string HolderText(const std::optional<LockHolder>& holder);

// The contents a holder writes into the lock file, and what a reader makes of them: nothing
// unless exactly "pid N uid U" with a newline or not.
std::string HolderRecord(const LockHolder& holder);
std::optional<LockHolder> ParseHolderRecord(std::string_view text);

// Where lock files live: $QUELTA_LOCK_DIR when set and not empty, else /tmp (sticky and
// open to every local user). Empty on Windows, where the system keeps the names.
std::filesystem::path DefaultLockDirectory();

}  // namespace platform
