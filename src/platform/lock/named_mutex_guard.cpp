#include "platform/lock/named_mutex_guard.h"

namespace platform {

NamedMutexGuard::NamedMutexGuard(NamedMutex& mutex)
    : mutex_(mutex),
      result_(mutex.Lock() ? NamedMutex::WaitResult::Acquired : NamedMutex::WaitResult::Failed) {}

NamedMutexGuard::NamedMutexGuard(NamedMutex& mutex, std::chrono::milliseconds limit,
                                 std::stop_token stop)
    : mutex_(mutex), result_(mutex.LockWithin(limit, std::move(stop))) {}

NamedMutexGuard::~NamedMutexGuard() {
  if (Acquired()) mutex_.Unlock();
}

}  // namespace platform
