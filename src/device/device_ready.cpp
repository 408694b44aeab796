#include "device/device_ready.h"

namespace device {

bool DeviceReady::IsSet() const {
  return (state_.load() & kReadyBit) != 0;
}

std::uint64_t DeviceReady::Generation() const {
  return state_.load() >> kGenerationShift;
}

void DeviceReady::Set() {
  state_.fetch_or(kReadyBit);
  WakeWaiters();
}

void DeviceReady::Clear() {
  state_.fetch_and(~kReadyBit);
  WakeWaiters();
}

std::uint64_t DeviceReady::BeginGeneration() {
  const std::uint64_t before = state_.fetch_add(std::uint64_t{1} << kGenerationShift);
  return (before >> kGenerationShift) + 1;
}

bool DeviceReady::SetFor(std::uint64_t generation) {
  return ChangeFor(generation, true);
}

bool DeviceReady::ClearFor(std::uint64_t generation) {
  return ChangeFor(generation, false);
}

bool DeviceReady::ChangeFor(std::uint64_t generation, bool ready) {
  std::uint64_t seen = state_.load();
  for (;;) {
    if ((seen >> kGenerationShift) != generation) return false;
    const std::uint64_t wanted = ready ? (seen | kReadyBit) : (seen & ~kReadyBit);
    if (state_.compare_exchange_weak(seen, wanted)) {
      WakeWaiters();
      return true;
    }
  }
}

bool DeviceReady::WaitUntilSet(std::stop_token stop) const {
  std::unique_lock lock(waitMutex_);
  return changed_.wait(lock, stop, [this] { return IsSet(); });
}

void DeviceReady::WakeWaiters() const {
  // Taking the mutex between the change and the wake-up means a waiter is either still
  // before its check (and sees the change) or already asleep (and is woken).
  { const std::lock_guard lock(waitMutex_); }
  changed_.notify_all();
}

}  // namespace device
