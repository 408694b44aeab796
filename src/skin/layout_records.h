#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

// The rectangle of one skinned button, in client pixels of its window. Its four bitmap
// paths (LeaveBmp, EnterBmp, ClickBmp, DisBmp) go to a text list owned by the caller.
struct ButtonLayout {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// Positions of the four bitmap paths that ReadButtonLayout appends.
enum ButtonBitmap : std::size_t { kLeaveBmp = 0, kEnterBmp = 1, kClickBmp = 2, kDisBmp = 3 };

// One skinned display (a TImageTrackBar); all zero until read.
struct DisplayLayout {
  bool ShowDigit = false;
  bool ShowStatusBar = false;
  bool ShowPosBar = false;
  bool ShowStatusRect = false;

  struct Digit {
    std::int32_t Left = 0, Top = 0, Count = 0, Width = 0, Height = 0, DecimalCount = 0;
    bool isFloat = false;
    bool isAttr = false;
  } digit;

  struct StatusBar {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0, Min = 0, Max = 0, Scale = 0;
  } statusBar;

  struct PosBar {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    std::string Path;
    std::string disPath;
  } posBar;

  struct StatusRect {
    std::int32_t Left = 0, Top = 0, Length = 0, Caliper = 0;
    float Min = 0.0f, Max = 0.0f;
    bool Horizontal = false;
  } statusRect;
};

}  // namespace skin
