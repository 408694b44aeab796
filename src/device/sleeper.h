#pragma once

#include <chrono>

namespace device {

// Every pause of the device link (the 2 ms after each report, the worker's cycle pause)
// goes through one of these, so tests can run without waiting.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace device
