#pragma once

#include "platform/lock/named_mutex.h"

namespace platform {

// Holds a NamedMutex for the guard's scope. Acquired() tells whether the wait succeeded;
// nothing is released when it did not.
class NamedMutexGuard {
 public:
  explicit NamedMutexGuard(NamedMutex& mutex);
  NamedMutexGuard(const NamedMutexGuard&) = delete;
  NamedMutexGuard& operator=(const NamedMutexGuard&) = delete;
  ~NamedMutexGuard();

  bool Acquired() const { return acquired_; }

 private:
  NamedMutex& mutex_;
  const bool acquired_;
};

}  // namespace platform
