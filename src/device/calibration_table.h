#pragma once

#include <array>
#include <cstddef>

namespace device {

struct CalibrationChannel {
  float Offset = 0.0f;
  float Gain = 0.0f;
};

// The current channels in calibration order; channel k comes from data byte d(k+1) of the
// offset and gain replies.
enum CurrentChannel : std::size_t {
  kChannel5V = 0,
  kChannel33V,
  kChannel12V1,
  kChannel12V2,
  kChannel12V3,
  kChannel12V4,
  kCurrentChannelCount
};

// The per-channel current calibration, read once per connection.
struct CalibrationTable {
  std::array<CalibrationChannel, kCurrentChannelCount> channels{};
};

}  // namespace device
