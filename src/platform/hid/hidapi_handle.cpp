#include "platform/hid/hidapi_handle.h"

#include <hidapi.h>

#include "platform/hid/hidapi_library.h"
#include "platform/hid/input_report_framing.h"

namespace platform {
namespace {

// hidraw never hands over more than this in one report.
constexpr std::size_t kLargestReport = 16384;

}  // namespace

HidapiHandle::HidapiHandle(std::shared_ptr<HidapiLibrary> library, hid_device_* device,
                           bool writeOnly, std::optional<HidReportLayout> layout)
    : library_(std::move(library)),
      device_(device),
      writeOnly_(writeOnly),
      layout_(layout),
      incoming_(kLargestReport) {}

HidapiHandle::~HidapiHandle() {
  hid_close(device_);
}

std::size_t HidapiHandle::Write(std::span<const std::uint8_t> report) {
  if (report.empty()) return 0;
  // hidraw takes the report-id byte in front for every device and drops a 0 itself before
  // the report goes out, so the report passes unchanged.
  const int written = hid_write(device_, report.data(), report.size());
  return written > 0 ? static_cast<std::size_t>(written) : 0;
}

std::size_t HidapiHandle::Read(std::span<std::uint8_t> buffer) {
  return ReadWithin(buffer, static_cast<int>(kReadTimeout.count()));
}

std::size_t HidapiHandle::ReadWaiting(std::span<std::uint8_t> buffer) {
  return ReadWithin(buffer, 0);  // a time-out of 0 returns at once when nothing is queued
}

std::size_t HidapiHandle::ReadWithin(std::span<std::uint8_t> buffer, int milliseconds) {
  if (writeOnly_ || buffer.empty()) return 0;
  const int got = hid_read_timeout(device_, incoming_.data(), incoming_.size(), milliseconds);
  if (got <= 0) return 0;  // failed, or nothing within the time-out
  const bool numbered = layout_.has_value() && layout_->numbered;
  return FrameInputReport(std::span(incoming_).first(static_cast<std::size_t>(got)), numbered,
                          buffer);
}

std::optional<HidCapabilities> HidapiHandle::Capabilities() {
  if (!layout_) return std::nullopt;
  return HidCapabilities{layout_->inputReportLength, layout_->outputReportLength};
}

}  // namespace platform
