#pragma once

#include <array>

#include "detail/detail_form.h"
#include "device/reading_set.h"

namespace detail {

// The current detail window: all six rail currents at once, its background by the power
// rating. Refreshed with every completed poll cycle while the monitor page is shown; dragged
// by its background only.
class TFormCur : public DetailForm {
 public:
  static constexpr ui::Size kClientSize{627, 648};
  static constexpr ui::Point kFirstPosition{195, 152};
  static constexpr std::int32_t kUpperTop = 229;   // 12V1, 12V2, 12V3
  static constexpr std::int32_t kMiddleTop = 289;  // 5V
  static constexpr std::int32_t kLowerTop = 389;   // 12V4, 33V
  static constexpr std::int32_t kDisplayHeight = 156;

  // The currents of the rails in the rail table's order (12 V rails first, then 5V, 3.3V).
  using Readings = std::array<float, 6>;
  enum Rail : std::size_t { C12V1, C12V2, C12V3, C12V4, C5V, C33V };
  static Readings From(const device::ReadingSet& values);

  TFormCur(const DetailEnvironment& environment, const Readings& initial,
           std::string languageFolder, std::int32_t powerRating);

  void Refresh(const Readings& readings) { RefreshReadings(readings); }
};

}  // namespace detail
