#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace device {

// A command for the worker. Code 0 (poll) stands for nothing pending.
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

// The commands waiting between the UI thread, which places them, and the worker, which takes
// them: at most one per kind (LED, trim, PSU fan curve, system fan curve). A new command
// replaces only a waiting one of its own kind, so an LED click never discards a trim or a fan
// curve the page has already reported as set. They are taken oldest placement first; a
// replacement counts as placed when it replaced. A command is published whole and taking it
// removes it in the same step, so the worker never sees a new code with old or half-written
// arguments.
class PendingCommands {
 public:
  // A poll command (code 0) places nothing.
  void Place(const DeviceCommand& command) {
    if (command.code == DeviceCommand::Poll) return;
    const std::lock_guard lock(mutex_);
    std::erase_if(pending_, [&](const DeviceCommand& c) { return c.code == command.code; });
    pending_.push_back(command);
  }

  // The oldest waiting command, removed; poll when nothing is waiting.
  DeviceCommand Take() {
    const std::lock_guard lock(mutex_);
    if (pending_.empty()) return DeviceCommand{};
    const DeviceCommand taken = pending_.front();
    pending_.erase(pending_.begin());
    return taken;
  }

 private:
  std::mutex mutex_;                    // guards pending_
  std::vector<DeviceCommand> pending_;  // in placement order, one per kind
};

}  // namespace device
