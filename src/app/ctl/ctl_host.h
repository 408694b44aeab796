#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "device/sleeper.h"
#include "platform/hid/hid_bus.h"

namespace app::ctl {

// What quelta-ctl takes from the machine it runs on; tests hand in their own.
struct CtlHost {
  std::filesystem::path lockDirectory;  // where the access mutex's lock file lives
  device::Sleeper& sleeper;             // the 2 ms report pauses
  // The simulated PSU's model time in seconds (the wall clock in the real program, so the
  // load drifts from one run to the next) and its wait for a read time-out.
  std::function<double()> simulatedSeconds;
  std::function<void(std::chrono::milliseconds)> simulatedTimeoutWait;
  // The folder of the executable, where the factory settings file lies.
  std::filesystem::path programFolder = {};
  // The devices without --simulate; when empty, the real ones through hidapi.
  std::function<std::unique_ptr<platform::HidBus>()> deviceBus = {};
  // Told once `serve` listens, with its port and a call that ends it as SIGTERM does; tests
  // that run the service in their own process stop it with that.
  std::function<void(std::uint16_t port, std::function<void()> stop)> serving = {};
};

}  // namespace app::ctl
