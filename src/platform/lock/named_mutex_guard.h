#pragma once

#include <chrono>
#include <stop_token>

#include "platform/lock/named_mutex.h"

namespace platform {

// Holds a NamedMutex for the guard's scope. Acquired() tells whether the wait succeeded;
// nothing is released when it did not.
class NamedMutexGuard {
 public:
  // Waits without limit.
  explicit NamedMutexGuard(NamedMutex& mutex);
  // Waits at most `limit` (NamedMutex::kNoLimit: until taken) and gives up once `stop` is
  // requested.
  NamedMutexGuard(NamedMutex& mutex, std::chrono::milliseconds limit, std::stop_token stop = {});
  NamedMutexGuard(const NamedMutexGuard&) = delete;
  NamedMutexGuard& operator=(const NamedMutexGuard&) = delete;
  ~NamedMutexGuard();

  bool Acquired() const { return result_ == NamedMutex::WaitResult::Acquired; }
  NamedMutex::WaitResult Result() const { return result_; }

 private:
  NamedMutex& mutex_;
  const NamedMutex::WaitResult result_;
};

}  // namespace platform
