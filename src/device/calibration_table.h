#pragma once

#include <array>
#include <cstddef>

#include "device/reading_catalogue.h"

namespace device {

struct CalibrationChannel {
  float Offset = 0.0f;
  float Gain = 0.0f;
};

// The current channels in calibration order (the catalogue's currents: 5V, 3.3V, 12V1 ..
// 12V4); channel k comes from data byte d(k+1) of the offset and gain replies.
inline constexpr std::size_t kCurrentChannelCount = kNoChannel;

// The per-channel current calibration, read once per connection.
struct CalibrationTable {
  std::array<CalibrationChannel, kCurrentChannelCount> channels{};
};

}  // namespace device
