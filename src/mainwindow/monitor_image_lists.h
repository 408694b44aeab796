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
  // A list of the cell size the program's own strip of that name has; the PSU temperature
  // lists take the skin's gauge pictures.
  static ui::ImageList Make(std::string_view name);

  ui::ImageList ILNumber = Make("ILNumber");
  ui::ImageList ILRedNumber = Make("ILRedNumber");  // the alarm look of ILNumber
  ui::ImageList ILANumber = Make("ILANumber");      // the alarm page's digits
  ui::ImageList ILTStatusBar = Make("ILTStatusBar");
  ui::ImageList ILWStatusBar = Make("ILWStatusBar");
  ui::ImageList ILVStatusBar = Make("ILVStatusBar");
  ui::ImageList ILCStatusBar = Make("ILCStatusBar");
  ui::ImageList ILCPeakStatusBar = Make("ILCPeakStatusBar");
  ui::ImageList ILPSUStatusBar = Make("ILPSUStatusBar");
  ui::ImageList ILSYSStatusBar = Make("ILSYSStatusBar");
  ui::ImageList ILTempPSUCStatusBar = Make("ILTempPSUCStatusBar");
  ui::ImageList ILTempT1CStatusBar = Make("ILTempT1CStatusBar");
  ui::ImageList ILTempT2CStatusBar = Make("ILTempT2CStatusBar");
  ui::ImageList ILTempT3CStatusBar = Make("ILTempT3CStatusBar");
  ui::ImageList ILTempT4CStatusBar = Make("ILTempT4CStatusBar");
  ui::ImageList ILTempPSUFStatusBar = Make("ILTempPSUFStatusBar");
  ui::ImageList ILTempT1FStatusBar = Make("ILTempT1FStatusBar");
  ui::ImageList ILTempT2FStatusBar = Make("ILTempT2FStatusBar");
  ui::ImageList ILTempT3FStatusBar = Make("ILTempT3FStatusBar");
  ui::ImageList ILTempT4FStatusBar = Make("ILTempT4FStatusBar");
  ui::ImageList ILFanSpeed = Make("ILFanSpeed");
  ui::ImageList ILSYSFanSpeed = Make("ILSYSFanSpeed");

  // Finds a list's picture strip by the list's name (ILNumber, ILFanSpeed, ...); null when the
  // program has none.
  using StripSource = std::function<std::shared_ptr<const ui::Bitmap>(std::string_view name)>;
  // Fills every list from its strip.
  void Fill(const StripSource& source);
};

// The strips compiled into the program; null for one it does not carry.
MonitorImageLists::StripSource ResourceStrips();

}  // namespace mainwindow
