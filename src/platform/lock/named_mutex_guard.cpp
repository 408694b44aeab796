#include "platform/lock/named_mutex_guard.h"

namespace platform {

NamedMutexGuard::NamedMutexGuard(NamedMutex& mutex) : mutex_(mutex), acquired_(mutex.Lock()) {}

NamedMutexGuard::~NamedMutexGuard() {
  if (acquired_) mutex_.Unlock();
}

}  // namespace platform
