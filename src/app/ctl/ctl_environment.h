#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>

#include "app/ctl/ctl_host.h"
#include "app/ctl/ctl_options.h"
#include "app/device_stack.h"
#include "device/sleeper.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/registry/registry.h"

namespace app::ctl {

// What a command works with: its output streams, the HID bus (real or simulated, traced
// when asked), the access mutex and the pauses. The bus is made when first asked for.
class CtlEnvironment {
 public:
  // Loads the scenario and opens the trace file at once; throws UsageError when either
  // fails (a bad scenario is bad usage too).
  CtlEnvironment(const CtlOptions& options, std::ostream& out, std::ostream& err,
                 const CtlHost& host);
  CtlEnvironment(const CtlEnvironment&) = delete;
  CtlEnvironment& operator=(const CtlEnvironment&) = delete;
  ~CtlEnvironment();

  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }
  device::Sleeper& Sleeper() { return host_.sleeper; }
  platform::HidBus& Bus() { return devices_.Bus(); }
  // The machine-wide access mutex; its takes and releases are traced with the reports.
  platform::NamedMutex::OpenResult OpenAccessMutex();
  // --lock-wait: how long to wait for the access mutex while someone else holds it.
  std::chrono::milliseconds LockWait() const { return lockWait_; }
  // Says on the error stream who kept the access mutex past the wait; returns exit code 3.
  int ReportLockBusy(const platform::NamedMutex& mutex);
  // The settings file: --registry FILE, or the user's file (seeded from the factory file beside
  // the program on first run). Throws platform::RegistryReadError (a RegistryFileError) naming
  // the file when it cannot be had.
  platform::RegistryStore& Registry();
  const std::filesystem::path& ProgramFolder() const { return host_.programFolder; }
  // The host's word to a service that has started listening; may be empty.
  const std::function<void(std::uint16_t, std::function<void()>)>& Serving() const {
    return host_.serving;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  const CtlHost& host_;
  DeviceStack devices_;
  const std::optional<std::string> registryFile_;
  const std::chrono::milliseconds lockWait_;
  std::unique_ptr<platform::RegistryStore> registry_;
};

}  // namespace app::ctl
