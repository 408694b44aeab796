#pragma once

#include <memory>

#include "platform/hid/hid_bus.h"

namespace platform {

class HidapiLibrary;
class UdevChangeMonitor;

// Real HID devices through the system's hidapi (Linux hidraw). Reports keep the reference
// platform's framing: the report-id byte is put back in front of the input reports of
// devices without numbered reports, which hidraw hands over without it.
// Present device ids come from udev: USB devices as "USB\VID_xxxx&PID_xxxx\<sysname>",
// HID devices as "HID\VID_xxxx&PID_xxxx\<sysname>", other devices as "<SUBSYSTEM>\<sysname>".
class HidapiBus : public HidBus {
 public:
  HidapiBus();
  ~HidapiBus() override;

  std::vector<HidInterfaceInfo> Interfaces() override;
  std::vector<std::optional<std::string>> PresentDeviceIds() override;
  std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;
  // A failed open is tried once more with open(2) alone to learn its errno, which hidapi
  // does not keep.
  HidOpenResult OpenExplained(const std::string& path, HidAccess access) override;
  // Backed by a udev monitor thread, started with the first listener.
  void SetChangeListener(std::function<void()> listener) override;

 private:
  std::shared_ptr<HidapiLibrary> library_;
  std::unique_ptr<UdevChangeMonitor> monitor_;
};

}  // namespace platform
