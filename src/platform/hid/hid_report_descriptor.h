#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// What a HID report descriptor says about report framing.
struct HidReportLayout {
  // True when the descriptor declares report ids; reports then carry their id in front.
  bool numbered = false;
  // Longest report of each kind in bytes, the report-id byte included (0 when none).
  std::size_t inputReportLength = 0;
  std::size_t outputReportLength = 0;
};

// Reads the report sizes and counts of a report descriptor. Returns nullopt for a truncated
// or malformed descriptor.
std::optional<HidReportLayout> ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace platform
