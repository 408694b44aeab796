#pragma once

#include <QRect>
#include <array>
#include <optional>
#include <string>
#include <vector>

// The default skin's one table of places: every control of every page with its rectangle
// and pictures. The registry records are written from it and the backgrounds are drawn
// around it, so frames, labels and controls line up.
namespace skingen {

struct DigitPlace {
  int left = 0, top = 0, count = 0, width = 0, height = 0, decimals = 0;
  bool isFloat = false, isAttr = false;
  // Where the digits and the sign (if any) fall, for the frame drawn around them.
  QRect Extent(bool altDigitSet) const;
};

struct StatusBarPlace {
  int left = 0, top = 0, width = 0, height = 0;
  std::string min, max;  // as stored: integer text, or real text in the current window
  int scale = 0;
  QRect Rect() const { return {left, top, width, height}; }
};

struct PosBarPlace {
  int left = 0, top = 0, width = 0, height = 0;
  std::string path, disPath;
};

struct StatusRectPlace {
  int left = 0, top = 0, length = 0, caliper = 0;
  std::string min, max;  // rating lists or single reals, as stored
  bool horizontal = false;
  QRect Rect() const {
    return horizontal ? QRect(left, top, length, caliper) : QRect(left, top, caliper, length);
  }
};

struct ButtonEntry {
  std::string key;
  QRect rect;
  std::array<std::string, 4> bitmaps;  // LeaveBmp, EnterBmp, ClickBmp, DisBmp
};

struct DisplayEntry {
  std::string key;
  std::optional<DigitPlace> digit;
  std::optional<StatusBarPlace> statusBar;
  std::optional<PosBarPlace> posBar;
  std::optional<StatusRectPlace> statusRect;
};

// The records of one page path below the language folder.
struct PageTable {
  std::string pageName;  // "Manager\Watt", "Config", ...
  std::vector<ButtonEntry> buttons;
  std::vector<DisplayEntry> displays;

  const ButtonEntry& Button(const std::string& key) const;
  const DisplayEntry& Display(const std::string& key) const;
};

// Every page of one language folder ("Eng") in one rating form (450 W or not). The records
// hold paths into that folder for its language's pictures.
struct SkinTable {
  std::vector<PageTable> managerGroups;  // Watt, Voltage, Current, FanSpeed, Temperature
  PageTable config, alarm, ctrl, voltageWindow, currentWindow;
};
SkinTable BuildSkinTable(const std::string& folder, bool small);

// Cards of the pages (rounded panels the controls sit on), in client pixels of the window.
namespace cards {
inline const QRect kPower{8, 44, 612, 124};
inline const QRect kVoltage{8, 176, 304, 164};
inline const QRect kCurrent{316, 176, 304, 164};
inline const QRect kPsuFan{8, 348, 204, 118};
inline const QRect kSysFan{216, 348, 204, 118};
inline const QRect kPsuTemp{424, 348, 196, 118};
inline const QRect kUnit{8, 474, 288, 84};
inline const QRect kSensors{300, 474, 320, 84};
inline const QRect kConfigFan{8, 84, 300, 96};
inline const QRect kConfigMode{8, 188, 300, 196};
inline const QRect kConfigUnit{8, 392, 300, 84};
inline const QRect kConfigCurve{316, 84, 304, 444};
inline const QRect kConfigTrim{8, 84, 612, 444};
inline const QRect kAlarmContent{8, 84, 612, 444};
}  // namespace cards

// The columns of an alarm group or a detail window: n centres spread over [left, right].
std::vector<int> ColumnCentres(int n, int left, int right);

// Status rect ranges the skin stores (the backgrounds print the same numbers on the scales).
struct Range {
  double min, max;
};
// Range of a detail-window current rail at a rating (12 V rails grow with the rating).
Range CurrentWindowRange(const std::string& rail, int rating);
// Range of an alarm threshold display at a rating; key as below the alarm page.
Range AlarmRange(const std::string& group, const std::string& rail, int rating);
// Range of a voltage detail-window rail (-12 V as a magnitude).
Range VoltageWindowRange(const std::string& rail);
// Range of a trim display of the configuration page.
Range TrimRange(const std::string& rail);

}  // namespace skingen
