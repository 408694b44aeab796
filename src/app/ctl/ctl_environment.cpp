#include "app/ctl/ctl_environment.h"

#include "app/ctl/exit_code.h"
#include "app/ctl/usage_error.h"
#include "core/numbers.h"

namespace app::ctl {
namespace {

DeviceStack MakeDeviceStack(const CtlOptions& options, const CtlHost& host) {
  try {
    return DeviceStack(DeviceStackOptions{options.simulate,
                                          options.scenarioFile,
                                          options.traceFile,
                                          {host.simulatedSeconds, host.simulatedTimeoutWait},
                                          host.deviceBus});
  } catch (const DeviceStackError& error) {
    throw UsageError(error.what());  // a bad scenario is bad usage too
  }
}

// "10", "0.25": the seconds as typed, without trailing zeros.
std::string SecondsText(std::chrono::milliseconds wait) {
  constexpr int kMillisecondDecimals = 3;
  std::string text =
      core::FixedText(static_cast<double>(wait.count()) / 1000.0, kMillisecondDecimals);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

CtlEnvironment::CtlEnvironment(const CtlOptions& options, std::ostream& out, std::ostream& err,
                               const CtlHost& host)
    : out_(out),
      err_(err),
      host_(host),
      devices_(MakeDeviceStack(options, host)),
      registryFile_(options.registryFile),
      lockWait_(options.lockWait) {}

CtlEnvironment::~CtlEnvironment() = default;

platform::RegistryStore& CtlEnvironment::Registry() {
  if (!registry_) registry_ = OpenSettingsStore(registryFile_, host_.programFolder);
  return *registry_;
}

platform::NamedMutex::OpenResult CtlEnvironment::OpenAccessMutex() {
  return devices_.OpenAccessMutex(host_.lockDirectory);
}

int CtlEnvironment::ReportLockBusy(const platform::NamedMutex& mutex) {
  err_ << "quelta-ctl: the PSU lock is held by " << platform::HolderText(mutex.Holder())
       << ": gave up after " << SecondsText(lockWait_) << " s (--lock-wait; "
       << mutex.LockFilePath().string() << ")\n";
  return kExitNoAnswer;
}

}  // namespace app::ctl
