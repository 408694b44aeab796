#include "app/ctl/ctl_environment.h"

#include "app/ctl/usage_error.h"
#include "device/device_identity.h"
#include "platform/hid/hidapi_bus.h"
#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/registry_location.h"
#include "sim/simulated_bus.h"
#include "sim/tracing_hid_bus.h"

namespace app::ctl {

CtlEnvironment::CtlEnvironment(const CtlOptions& options, std::ostream& out, std::ostream& err,
                               const CtlHost& host)
    : out_(out),
      err_(err),
      host_(host),
      simulate_(options.simulate),
      registryFile_(options.registryFile) {
  if (options.simulate) {
    try {
      scenario_ = options.scenarioFile.empty() ? sim::Scenario{}
                                               : sim::LoadScenarioFile(options.scenarioFile);
    } catch (const sim::ScenarioError& error) {
      throw UsageError(error.what());
    }
  }
  if (options.traceFile) {
    sim::TraceLog::OpenResult opened = sim::TraceLog::Open(*options.traceFile);
    if (!opened.log) throw UsageError(opened.error);
    trace_ = std::move(opened.log);
  }
}

CtlEnvironment::~CtlEnvironment() = default;

platform::HidBus& CtlEnvironment::Bus() {
  if (!bus_) {
    if (simulate_) {
      bus_ = std::make_unique<sim::SimulatedBus>(
          *scenario_,
          sim::SimulatedDevices::Options{host_.simulatedSeconds, host_.simulatedTimeoutWait});
    } else if (host_.deviceBus) {
      bus_ = host_.deviceBus();
    } else {
      bus_ = std::make_unique<platform::HidapiBus>();
    }
    if (trace_) tracingBus_ = std::make_unique<sim::TracingHidBus>(*bus_, *trace_);
  }
  return tracingBus_ ? *tracingBus_ : *bus_;
}

platform::RegistryStore& CtlEnvironment::Registry() {
  if (!registry_) {
    std::optional<std::filesystem::path> option;
    if (registryFile_) option = *registryFile_;
    registry_ = platform::OpenSettingsStore(
        platform::LocateRegistryFile(option, host_.programFolder,
                                     platform::RegistryEnvironment::FromProcess()),
        host_.programFolder);
  }
  return *registry_;
}

platform::NamedMutex::OpenResult CtlEnvironment::OpenAccessMutex() {
  platform::NamedMutex::OpenResult opened =
      platform::NamedMutex::Open(device::kAccessMutexName, host_.lockDirectory);
  if (opened.mutex && trace_) {
    sim::TraceLog& trace = *trace_;
    opened.mutex->SetObserver([&trace](platform::NamedMutex::Event event) {
      trace.Event(event == platform::NamedMutex::Event::Locked ? "LOCK" : "UNLOCK");
    });
  }
  return opened;
}

}  // namespace app::ctl
