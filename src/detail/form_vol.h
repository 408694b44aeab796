#pragma once

#include <array>

#include "detail/detail_form.h"
#include "device/reading_set.h"

namespace detail {

// The voltage detail window: all eight output voltages at once. Refreshed with every new set
// of voltages, whatever page the main window shows; dragged by its background or its surface.
class TFormVol : public DetailForm {
 public:
  static constexpr ui::Size kClientSize{627, 641};
  static constexpr ui::Point kFirstPosition{194, 0};
  // Own tops of the displays: the 12 V rails, and the others.
  static constexpr std::int32_t kUpperTop = 387;
  static constexpr std::int32_t kLowerTop = 391;
  static constexpr std::int32_t kDisplayHeight = 148;

  // Vol12V1, Vol12V2, Vol12V3, Vol12V4, Vol5V, Vol33V, VolNeg12V, Vol5Vsb.
  using Readings = std::array<float, 8>;
  enum Rail : std::size_t { R12V1, R12V2, R12V3, R12V4, R5V, R33V, RNeg12V, R5Vsb };
  static Readings From(const device::ReadingSet& values);

  TFormVol(const DetailEnvironment& environment, const Readings& initial,
           std::string languageFolder, std::int32_t powerRating);

  void Refresh(const Readings& readings) { RefreshReadings(readings); }
};

}  // namespace detail
