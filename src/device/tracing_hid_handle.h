#pragma once

#include <memory>

#include "device/trace_log.h"
#include "platform/hid/hid_handle.h"

namespace device {

// Passes every report through to the handle it wraps and traces it:
// "<tag> W <n> <hex bytes>" for writes (n bytes transferred, 0 on failure, followed by the
// report that was offered) and "<tag> R <n> <hex bytes>" for reads (n bytes read, 0 on
// failure or time-out). A report that was waiting and is thrown away before a request is
// traced "<tag> D <n> <hex bytes>"; finding nothing waiting leaves no line.
// The tag is M for the PSU controller and G for the gauge panel.
class TracingHidHandle : public platform::HidHandle {
 public:
  TracingHidHandle(std::unique_ptr<platform::HidHandle> inner, char tag, TraceLog& log);

  std::size_t Write(std::span<const std::uint8_t> report) override;
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t ReadWaiting(std::span<std::uint8_t> buffer) override;
  std::optional<platform::HidCapabilities> Capabilities() override;

 private:
  const std::unique_ptr<platform::HidHandle> inner_;
  const char tag_;
  TraceLog& log_;
};

}  // namespace device
