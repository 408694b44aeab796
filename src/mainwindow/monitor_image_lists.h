#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/ui/bitmap.h"
#include "platform/ui/image_list.h"

namespace mainwindow {

// The picture lists the monitor page draws from: the digit set, the gauge frames of each
// display and the two fans' frames. The program carries them itself; a list whose pictures
// cannot be found stays empty and its display shows nothing there.
struct MonitorImageLists {
  static constexpr int kDigitWidth = 13;
  static constexpr int kDigitHeight = 20;
  static constexpr int kFanFrameWidth = 72;
  static constexpr int kFanFrameHeight = 73;
  static constexpr int kGaugeWidth = 87;
  static constexpr int kGaugeHeight = 47;

  ui::ImageList ILNumber{kDigitWidth, kDigitHeight};
  ui::ImageList ILTStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILWStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILVStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILCStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILCPeakStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILPSUStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILSYSStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempPSUCStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT1CStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT2CStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT3CStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT4CStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempPSUFStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT1FStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT2FStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT3FStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILTempT4FStatusBar{kGaugeWidth, kGaugeHeight};
  ui::ImageList ILFanSpeed{kFanFrameWidth, kFanFrameHeight};
  ui::ImageList ILSYSFanSpeed{kFanFrameWidth, kFanFrameHeight};

  // Finds a list's picture strip by the list's name (ILNumber, ILFanSpeed, ...); null when the
  // program has none.
  using StripSource = std::function<std::shared_ptr<const ui::Bitmap>(std::string_view name)>;
  // Fills every list from its strip.
  void Fill(const StripSource& source);
};

// The strips compiled into the program, ":/imagelists/<name>.bmp"; null for a missing one.
MonitorImageLists::StripSource ResourceStrips();

}  // namespace mainwindow
