#pragma once

#include <array>
#include <string_view>

namespace skin {

// The image lists the program carries itself, compiled in as Qt resources by the
// quelta_skin_resources library. Each is one 24-bit bitmap strip holding `count` frames of
// cellWidth x cellHeight side by side, frame 0 leftmost; cut it into the list in that order.
// The PSU temperature lists (ILTempPSUCStatusBar, ILTempPSUFStatusBar) are not here: the skin
// load fills them from the language folder.
struct ImageListResource {
  std::string_view name;          // the component's name, e.g. "ILNumber"
  std::string_view resourcePath;  // e.g. ":/skin/lists/ILNumber.bmp"
  int cellWidth;
  int cellHeight;
  int count;
};

inline constexpr int kDigitFrames = 10;  // pictures of 0 to 9
inline constexpr int kFanFrames = 12;    // one turn of a blade pitch
inline constexpr int kPowerGaugeFrames = 21;
inline constexpr int kSmallGaugeFrames = 11;
inline constexpr int kTempGaugeFrames = 9;

inline constexpr auto kImageListResources = std::to_array<ImageListResource>({
    {"ILNumber", ":/skin/lists/ILNumber.bmp", 8, 16, kDigitFrames},
    {"ILRedNumber", ":/skin/lists/ILRedNumber.bmp", 8, 16, kDigitFrames},
    {"ILANumber", ":/skin/lists/ILANumber.bmp", 9, 18, kDigitFrames},
    {"ILFanSpeed", ":/skin/lists/ILFanSpeed.bmp", 72, 73, kFanFrames},
    {"ILSYSFanSpeed", ":/skin/lists/ILSYSFanSpeed.bmp", 72, 73, kFanFrames},
    {"ILTStatusBar", ":/skin/lists/ILTStatusBar.bmp", 180, 22, kPowerGaugeFrames},
    {"ILWStatusBar", ":/skin/lists/ILWStatusBar.bmp", 110, 22, kPowerGaugeFrames},
    {"ILVStatusBar", ":/skin/lists/ILVStatusBar.bmp", 96, 10, kSmallGaugeFrames},
    {"ILCStatusBar", ":/skin/lists/ILCStatusBar.bmp", 96, 10, kSmallGaugeFrames},
    {"ILCPeakStatusBar", ":/skin/lists/ILCPeakStatusBar.bmp", 96, 10, kSmallGaugeFrames},
    {"ILPSUStatusBar", ":/skin/lists/ILPSUStatusBar.bmp", 76, 10, kSmallGaugeFrames},
    {"ILSYSStatusBar", ":/skin/lists/ILSYSStatusBar.bmp", 76, 10, kSmallGaugeFrames},
    {"ILTempT1CStatusBar", ":/skin/lists/ILTempT1CStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT2CStatusBar", ":/skin/lists/ILTempT2CStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT3CStatusBar", ":/skin/lists/ILTempT3CStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT4CStatusBar", ":/skin/lists/ILTempT4CStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT1FStatusBar", ":/skin/lists/ILTempT1FStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT2FStatusBar", ":/skin/lists/ILTempT2FStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT3FStatusBar", ":/skin/lists/ILTempT3FStatusBar.bmp", 36, 16, kTempGaugeFrames},
    {"ILTempT4FStatusBar", ":/skin/lists/ILTempT4FStatusBar.bmp", 36, 16, kTempGaugeFrames},
});

// The list of a name; nullptr when the program does not carry it.
constexpr const ImageListResource* FindImageListResource(std::string_view name) {
  for (const ImageListResource& list : kImageListResources) {
    if (list.name == name) return &list;
  }
  return nullptr;
}

}  // namespace skin
