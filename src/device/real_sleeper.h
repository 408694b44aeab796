#pragma once

#include "device/sleeper.h"

namespace device {

// Pauses the calling thread for the whole duration.
class RealSleeper : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace device
