#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/hid/hid_handle.h"
#include "platform/hid/hid_report_descriptor.h"

struct hid_device_;

namespace platform {

class HidapiLibrary;

// One interface opened through hidapi. `layout` is what its report descriptor says; without
// it the device is taken to use unnumbered reports and its capabilities are unknown.
class HidapiHandle : public HidHandle {
 public:
  HidapiHandle(std::shared_ptr<HidapiLibrary> library, hid_device_* device, bool writeOnly,
               std::optional<HidReportLayout> layout);
  HidapiHandle(const HidapiHandle&) = delete;
  HidapiHandle& operator=(const HidapiHandle&) = delete;
  ~HidapiHandle() override;

  std::size_t Write(std::span<const std::uint8_t> report) override;
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t ReadWaiting(std::span<std::uint8_t> buffer) override;
  std::optional<HidCapabilities> Capabilities() override;

 private:
  std::size_t ReadWithin(std::span<std::uint8_t> buffer, int milliseconds);

  std::shared_ptr<HidapiLibrary> library_;
  hid_device_* const device_;
  const bool writeOnly_;
  const std::optional<HidReportLayout> layout_;
  std::vector<std::uint8_t> incoming_;  // room for the largest report hidraw can deliver
};

}  // namespace platform
