#include "app/ctl/ctl_environment.h"

#include "app/ctl/usage_error.h"

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

}  // namespace

CtlEnvironment::CtlEnvironment(const CtlOptions& options, std::ostream& out, std::ostream& err,
                               const CtlHost& host)
    : out_(out),
      err_(err),
      host_(host),
      devices_(MakeDeviceStack(options, host)),
      registryFile_(options.registryFile) {}

CtlEnvironment::~CtlEnvironment() = default;

platform::RegistryStore& CtlEnvironment::Registry() {
  if (!registry_) registry_ = OpenSettingsStore(registryFile_, host_.programFolder);
  return *registry_;
}

platform::NamedMutex::OpenResult CtlEnvironment::OpenAccessMutex() {
  return devices_.OpenAccessMutex(host_.lockDirectory);
}

}  // namespace app::ctl
