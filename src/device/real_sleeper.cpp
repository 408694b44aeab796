#include "device/real_sleeper.h"

#include <thread>

namespace device {

void RealSleeper::Sleep(std::chrono::milliseconds duration) {
  // sleep_until on a steady deadline: an interrupted sleep resumes for the rest only.
  const auto deadline = std::chrono::steady_clock::now() + duration;
  std::this_thread::sleep_until(deadline);
}

}  // namespace device
