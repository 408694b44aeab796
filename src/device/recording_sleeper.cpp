#include "device/recording_sleeper.h"

namespace device {

void RecordingSleeper::Sleep(std::chrono::milliseconds duration) {
  const std::lock_guard<std::mutex> lock(mutex_);
  pauses_.push_back(duration);
}

std::vector<std::chrono::milliseconds> RecordingSleeper::Pauses() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return pauses_;
}

std::size_t RecordingSleeper::Count() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return pauses_.size();
}

std::chrono::milliseconds RecordingSleeper::Total() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::chrono::milliseconds total{0};
  for (const auto pause : pauses_) total += pause;
  return total;
}

void RecordingSleeper::Clear() {
  const std::lock_guard<std::mutex> lock(mutex_);
  pauses_.clear();
}

}  // namespace device
