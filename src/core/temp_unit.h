#pragma once

#include <cstdint>

namespace core {

// The temperature unit a page shows; the numbers are those the pages' unit buttons carry.
enum class TempUnit : std::int32_t { kCelsius = 301, kFahrenheit = 302 };

}  // namespace core
