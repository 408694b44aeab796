#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// Report lengths in bytes, the leading report-id byte included (0 when the device has no
// report of that kind).
struct HidCapabilities {
  std::size_t inputReportLength = 0;
  std::size_t outputReportLength = 0;
};

// One open HID interface. Reports always carry the leading report-id byte (0 for a device
// without numbered reports), whatever the backend: a 6-byte output report to the PSU
// controller is 6 bytes here, its 9-byte input report is 9 bytes here.
// A handle is used by one thread at a time.
class HidHandle {
 public:
  // A read waits at most this long for a report; one that does not come is a failed read,
  // so a silent device cannot hold anyone (or the machine-wide lock) forever.
  static constexpr std::chrono::milliseconds kReadTimeout{1000};

  virtual ~HidHandle() = default;

  // Writes one whole output report. Returns the bytes transferred: the report's length
  // when it went out, 0 when it did not (device gone, wrong length, handle not writable).
  virtual std::size_t Write(std::span<const std::uint8_t> report) = 0;

  // Reads the next input report into `buffer`. Returns the report's length, or 0 when no
  // report came within kReadTimeout, the read failed, the handle is write-only, or the
  // report does not fit the buffer (the report is then consumed and lost: it is not handed
  // out again by a later Read).
  virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;

  // Takes one input report that is already waiting, without waiting for one: returns its
  // length, or 0 at once when none is waiting (or as Read fails). Used to throw away replies
  // meant for an earlier request or another holder before a new request goes out. A backend
  // that cannot tell says nothing is waiting.
  virtual std::size_t ReadWaiting(std::span<std::uint8_t> buffer) {
    (void)buffer;
    return 0;
  }

  // The device's report lengths; nullopt when they cannot be read.
  virtual std::optional<HidCapabilities> Capabilities() = 0;
};

}  // namespace platform
