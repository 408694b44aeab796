#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

#include "device/sleeper.h"
#include "platform/hid/hid_bus.h"
#include "platform/hid/hid_handle.h"
#include "platform/lock/named_mutex.h"

namespace device {

struct ProbeResult {
  bool succeeded = false;        // the power-rating reply was good
  std::int32_t powerRating = 0;  // 0 for an unknown code or a failed read
  bool opened = true;            // false when the handles could not be opened under the lock
  // How the wait for the access mutex ended; nothing else ran unless Acquired.
  platform::NamedMutex::WaitResult lock = platform::NamedMutex::WaitResult::Acquired;
};

// How the probe waits for the access mutex: another holder (another program, another user)
// may keep it for as long as it likes.
struct ProbeLockWait {
  std::chrono::milliseconds limit = platform::NamedMutex::kNoLimit;
  std::stop_token stop;          // ends the wait early (the program is closing)
  std::function<void()> locked;  // told on the probe's thread once it holds the mutex
};

// The start-up probe on the connecting side's own handles, before any worker exists: under
// the access mutex it reads the reference voltage (failing at once when that fails), the
// calibration and the power rating with the probe's mapping. The reference and calibration
// it reads are thrown away; the worker reads its own.
ProbeResult StartupProbe(platform::HidHandle* writeHandle, platform::HidHandle* readHandle,
                         platform::NamedMutex& accessMutex, Sleeper& sleeper);

// The same on handles of its own that it opens only once it holds the access mutex (and
// closes before releasing it): every open handle gets its own copy of every reply, so a
// handle opened before the wait would fill up with the replies of whoever holds the lock.
ProbeResult StartupProbe(platform::HidBus& bus, platform::NamedMutex& accessMutex, Sleeper& sleeper,
                         const ProbeLockWait& wait = {});

}  // namespace device
