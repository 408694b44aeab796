#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// hidraw delivers the input reports of a device without numbered reports without their
// report-id byte. Every HidHandle hands out an input report with its id byte first (0 for an
// unnumbered report), so a 9-byte report reads the same on every backend: this writes it so
// into `buffer`. Returns its length; 0 when nothing was delivered or the report does not fit.
std::size_t FrameInputReport(std::span<const std::uint8_t> delivered, bool numbered,
                             std::span<std::uint8_t> buffer);

}  // namespace platform
