#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "device/sleeper.h"

namespace device {

// Records every pause instead of taking it. Safe to use from several threads.
class RecordingSleeper : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds duration) override;

  std::vector<std::chrono::milliseconds> Pauses() const;
  std::size_t Count() const;
  std::chrono::milliseconds Total() const;
  void Clear();

 private:
  mutable std::mutex mutex_;  // guards pauses_
  std::vector<std::chrono::milliseconds> pauses_;
};

}  // namespace device
