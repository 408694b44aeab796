#pragma once

#include <cstdint>

#include "device/device_command.h"

namespace device {

// The request setters: each builds its command whole and places it. Whoever takes commands
// (the worker, its handle, the connection) says in Place whether it accepts one; the setters
// return that.
class CommandRequests {
 public:
  virtual bool Place(const DeviceCommand& command) = 0;

  bool RequestTrim(float target12V, bool enable12V, float target5V, bool enable5V, float target33V,
                   bool enable33V);
  bool RequestLed(bool on);
  bool RequestPsuFanCurve(float startVolts, std::int32_t temperature);
  bool RequestSystemFanCurve(float startVolts, std::int32_t temperature, std::int32_t sensorCode);

 protected:
  ~CommandRequests() = default;
};

}  // namespace device
