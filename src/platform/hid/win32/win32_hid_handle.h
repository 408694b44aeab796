#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/hid/hid_handle.h"

namespace platform {

// One HID interface opened with CreateFileA for overlapped I/O. Windows hands over every
// input report with its report-id byte in front, as long as the device's input report, so
// the reports pass unchanged; a write is padded with zeros to the output report's length,
// which WriteFile insists on.
class Win32HidHandle : public HidHandle {
 public:
  // `file` is a HANDLE; the handle closes it.
  Win32HidHandle(std::uintptr_t file, bool writeOnly, std::optional<HidCapabilities> caps);
  Win32HidHandle(const Win32HidHandle&) = delete;
  Win32HidHandle& operator=(const Win32HidHandle&) = delete;
  ~Win32HidHandle() override;

  std::size_t Write(std::span<const std::uint8_t> report) override;
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t ReadWaiting(std::span<std::uint8_t> buffer) override;
  std::optional<HidCapabilities> Capabilities() override { return caps_; }

 private:
  std::size_t ReadWithin(std::span<std::uint8_t> buffer, unsigned long milliseconds);

  const std::uintptr_t file_;
  const std::uintptr_t event_;  // signalled when an overlapped read or write ends
  const bool writeOnly_;
  const std::optional<HidCapabilities> caps_;
  std::vector<std::uint8_t> incoming_;
};

}  // namespace platform
