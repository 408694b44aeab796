#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// How the simulated devices present themselves, as the real ones do.
inline constexpr std::uint16_t kVendorId = 0x1044;
inline constexpr std::uint16_t kMonitorProductId = 0x4001;
inline constexpr std::uint16_t kGaugeProductId = 0x4100;
// Unrelated interfaces use a vendor id of their own.
inline constexpr std::uint16_t kOtherVendorId = 0x0F0F;
inline constexpr std::uint16_t kOtherFirstProductId = 0x1000;

// Report lengths, report-id byte included.
inline constexpr std::size_t kMonitorOutputLength = 6;
inline constexpr std::size_t kMonitorInputLength = 9;
inline constexpr std::size_t kGaugeOutputLength = 9;

}  // namespace sim
