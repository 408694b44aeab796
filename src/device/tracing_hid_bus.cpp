#include "device/tracing_hid_bus.h"

#include "device/device_identity.h"
#include "device/tracing_hid_handle.h"

namespace device {
namespace {

constexpr char kMonitorTag = 'M';
constexpr char kGaugeTag = 'G';

}  // namespace

TracingHidBus::TracingHidBus(platform::HidBus& inner, TraceLog& log) : inner_(inner), log_(log) {}

std::vector<platform::HidInterfaceInfo> TracingHidBus::Interfaces() {
  std::vector<platform::HidInterfaceInfo> interfaces = inner_.Interfaces();
  const std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& info : interfaces) products_[info.path] = info.productId;
  return interfaces;
}

std::vector<std::optional<std::string>> TracingHidBus::PresentDeviceIds() {
  return inner_.PresentDeviceIds();
}

std::unique_ptr<platform::HidHandle> TracingHidBus::Open(const std::string& path,
                                                         platform::HidAccess access) {
  return OpenExplained(path, access).handle;
}

platform::HidOpenResult TracingHidBus::OpenExplained(const std::string& path,
                                                     platform::HidAccess access) {
  platform::HidOpenResult opened = inner_.OpenExplained(path, access);
  if (!opened.handle) return opened;
  std::unique_ptr<platform::HidHandle> handle = std::move(opened.handle);
  char tag = access == platform::HidAccess::WriteOnly ? kGaugeTag : kMonitorTag;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto known = products_.find(path);
    if (known != products_.end())
      tag = known->second == kGaugeDevice.productId ? kGaugeTag : kMonitorTag;
  }
  return {std::make_unique<TracingHidHandle>(std::move(handle), tag, log_),
          platform::HidOpenError::None};
}

void TracingHidBus::SetChangeListener(std::function<void()> listener) {
  inner_.SetChangeListener(std::move(listener));
}

}  // namespace device
