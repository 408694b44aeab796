#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// hidraw delivers the input reports of a device without numbered reports without their
// report-id byte. Writes the report as the reference platform delivers it, id byte first
// (0 for an unnumbered report), into `buffer`. Returns its length; 0 when nothing was
// delivered or the report does not fit.
std::size_t FrameInputReport(std::span<const std::uint8_t> delivered, bool numbered,
                             std::span<std::uint8_t> buffer);

}  // namespace platform
