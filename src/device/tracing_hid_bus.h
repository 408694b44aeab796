#pragma once

#include <map>
#include <mutex>
#include <string>

#include "device/trace_log.h"
#include "platform/hid/hid_bus.h"

namespace device {

// A bus that traces every report exchanged through the handles it opens (see
// TracingHidHandle), on any backend. Handles on the gauge panel's product id are tagged G,
// all others M; a path it has not listed is tagged by its access (write-only: G).
class TracingHidBus : public platform::HidBus {
 public:
  TracingHidBus(platform::HidBus& inner, TraceLog& log);

  std::vector<platform::HidInterfaceInfo> Interfaces() override;
  std::vector<std::optional<std::string>> PresentDeviceIds() override;
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override;
  platform::HidOpenResult OpenExplained(const std::string& path,
                                        platform::HidAccess access) override;
  void SetChangeListener(std::function<void()> listener) override;

 private:
  platform::HidBus& inner_;
  TraceLog& log_;
  std::mutex mutex_;  // guards products_
  std::map<std::string, std::uint16_t> products_;
};

}  // namespace device
