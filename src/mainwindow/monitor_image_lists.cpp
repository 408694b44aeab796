#include "mainwindow/monitor_image_lists.h"

#include <utility>

#include "platform/ui/file_error.h"
#include "skin/image_list_resources.h"
#include "skin/skin_files.h"

namespace mainwindow {

ui::ImageList MonitorImageLists::Make(std::string_view name) {
  if (const skin::ImageListResource* resource = skin::FindImageListResource(name)) {
    return ui::ImageList(resource->cellWidth, resource->cellHeight);
  }
  return ui::ImageList(skin::kTempGaugeWidth, skin::kTempGaugeHeight);
}

void MonitorImageLists::Fill(const StripSource& source) {
  const std::pair<std::string_view, ui::ImageList*> lists[] = {
      {"ILNumber", &ILNumber},
      {"ILRedNumber", &ILRedNumber},
      {"ILANumber", &ILANumber},
      {"ILTStatusBar", &ILTStatusBar},
      {"ILWStatusBar", &ILWStatusBar},
      {"ILVStatusBar", &ILVStatusBar},
      {"ILCStatusBar", &ILCStatusBar},
      {"ILCPeakStatusBar", &ILCPeakStatusBar},
      {"ILPSUStatusBar", &ILPSUStatusBar},
      {"ILSYSStatusBar", &ILSYSStatusBar},
      {"ILTempPSUCStatusBar", &ILTempPSUCStatusBar},
      {"ILTempT1CStatusBar", &ILTempT1CStatusBar},
      {"ILTempT2CStatusBar", &ILTempT2CStatusBar},
      {"ILTempT3CStatusBar", &ILTempT3CStatusBar},
      {"ILTempT4CStatusBar", &ILTempT4CStatusBar},
      {"ILTempPSUFStatusBar", &ILTempPSUFStatusBar},
      {"ILTempT1FStatusBar", &ILTempT1FStatusBar},
      {"ILTempT2FStatusBar", &ILTempT2FStatusBar},
      {"ILTempT3FStatusBar", &ILTempT3FStatusBar},
      {"ILTempT4FStatusBar", &ILTempT4FStatusBar},
      {"ILFanSpeed", &ILFanSpeed},
      {"ILSYSFanSpeed", &ILSYSFanSpeed},
  };
  for (const auto& [name, list] : lists) {
    if (auto strip = source(name)) list->Add(strip);
  }
}

MonitorImageLists::StripSource ResourceStrips() {
  return [](std::string_view name) -> std::shared_ptr<const ui::Bitmap> {
    const skin::ImageListResource* resource = skin::FindImageListResource(name);
    if (!resource) return nullptr;
    // Read when first drawn: digit sets and gauge frames of pages never shown stay undecoded.
    try {
      return ui::Bitmap::Load(std::string(resource->resourcePath));
    } catch (const ui::FileError&) {
      return nullptr;
    }
  };
}

}  // namespace mainwindow
