#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

namespace device {

// The worker's single pending command. Code 0 (poll) is the empty slot.
struct DeviceCommand {
  enum Code : std::uint8_t { Poll = 0, Trim = 1, Led = 5, PsuFanCurve = 6, SystemFanCurve = 7 };

  Code code = Poll;
  // Trim (code 1): a target and an enable flag per output.
  float Target12V = 0.0f;
  bool Enable12V = false;
  float Target5V = 0.0f;
  bool Enable5V = false;
  float Target33V = 0.0f;
  bool Enable33V = false;
  // LED (code 5).
  bool LedOn = false;
  // Fan curves (codes 6 and 7).
  float FanStartVolts = 0.0f;
  std::int32_t FanTemperature = 0;
  std::int32_t SensorCode = 0;  // code 7 only; its low byte is sent
};

// The slot between the UI thread, which places commands, and the worker, which takes them.
// A command is published whole and taking it empties the slot in the same step, so the
// worker never sees a new code with old or half-written arguments.
class CommandSlot {
 public:
  // Replaces a command that has not been taken yet.
  void Place(const DeviceCommand& command) {
    const std::lock_guard lock(mutex_);
    pending_ = command;
  }

  // The pending command, leaving the slot at poll; poll when nothing is pending.
  DeviceCommand Take() {
    const std::lock_guard lock(mutex_);
    DeviceCommand taken = pending_.value_or(DeviceCommand{});
    pending_.reset();
    return taken;
  }

 private:
  std::mutex mutex_;  // guards pending_
  std::optional<DeviceCommand> pending_;
};

}  // namespace device
