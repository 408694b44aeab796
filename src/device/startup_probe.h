#pragma once

#include <cstdint>

#include "device/sleeper.h"
#include "platform/hid/hid_handle.h"
#include "platform/lock/named_mutex.h"

namespace device {

struct ProbeResult {
  bool succeeded = false;        // the power-rating reply was good
  std::int32_t powerRating = 0;  // 0 for an unknown code or a failed read
};

// The start-up probe on the connecting side's own handles, before any worker exists: under
// the access mutex it reads the reference voltage (failing at once when that fails), the
// calibration and the power rating with the probe's mapping. The reference and calibration
// it reads are thrown away; the worker reads its own.
ProbeResult StartupProbe(platform::HidHandle* writeHandle, platform::HidHandle* readHandle,
                         platform::NamedMutex& accessMutex, Sleeper& sleeper);

}  // namespace device
