#include "layout_table.h"

#include <QString>
#include <stdexcept>

#include "skin/default_skin_places.h"
#include "skin/image_list_resources.h"

namespace skingen {
namespace {

constexpr int kRatings[] = {550, 680, 800};  // the pieces of a rating list, in order

// Every Left and Top below is in client pixels of the window; the pages' pictures subtract
// their own top when they draw around them.

// Main window digits: ILNumber cells; the alarm page and detail windows: ILANumber cells.
constexpr int kSmallDigitWidth = 8, kSmallDigitHeight = 16;
constexpr int kBigDigitWidth = 9, kBigDigitHeight = 18;

// Rail tiles and buttons of the monitor page.
constexpr int kTileWidth = 68, kTileHeight = 26;
constexpr int kTileColumns[] = {20, 91, 162, 233};
constexpr int kCurrentTileColumns[] = {328, 399, 470, 541};
constexpr int kTileRows[] = {254, 288};

// Columns of the alarm page.
constexpr int kAlarmLeft = 20, kAlarmRight = 608;
constexpr int kAlarmDigitTop = 140;
constexpr int kAlarmBarTop = 174, kAlarmBarLength = 266, kAlarmBarCaliper = 18;
constexpr int kAlarmSwitchTop = 450;
constexpr int kMarkerWidth = 16, kMarkerHeight = 9;
constexpr int kSwitchWidth = 44, kSwitchHeight = 22;

// Columns of the detail windows.
constexpr int kDetailLeft = 14, kDetailRight = 614;
constexpr int kDetailDigitTop = 92;
constexpr int kDetailBarTop = 140, kDetailBarLength = 430, kDetailBarCaliper = 24;

// Trim columns of the configuration page.
constexpr int kTrimDigitTop = 150;
constexpr int kTrimBarTop = 190, kTrimBarLength = 270, kTrimBarCaliper = 20;

std::string Shared(const std::string& stem) {
  return "Skin\\" + stem;
}

std::array<std::string, 4> States(const std::string& stem) {
  return {stem + "_up.bmp", stem + "_over.bmp", stem + "_down.bmp", stem + "_dis.bmp"};
}

std::string Number(double value) {
  return QString::number(value, 'g', 6).toStdString();
}

// A rating list with the value of each of 550, 680 and 800 W.
template <typename F>
std::string RatingList(F valueAt) {
  std::string list;
  for (int rating : kRatings) list += (list.empty() ? "" : ",") + Number(valueAt(rating));
  return list;
}

// The width the cells of a digit row take.
int DigitRowWidth(int count, int decimals, bool isFloat, int width) {
  if (!isFloat) return count * (width + 1) - 1;
  const int integers = count - decimals;
  return integers * (width + 1) - 1 + 3 + decimals * (width + 1) - (decimals > 0 ? 1 : 0);
}

// A digit row centred on x, leaving room for the sign on its left.
DigitPlace CentredDigits(int cx, int top, int count, int decimals, bool attr, bool big) {
  DigitPlace d;
  d.width = big ? kBigDigitWidth : kSmallDigitWidth;
  d.height = big ? kBigDigitHeight : kSmallDigitHeight;
  d.count = count;
  d.decimals = decimals;
  d.isFloat = decimals > 0;
  d.isAttr = attr;
  const int row = DigitRowWidth(count, decimals, d.isFloat, d.width);
  const int sign = attr ? d.width : 0;
  d.left = cx - (row + sign) / 2 + sign;
  d.top = top;
  return d;
}

DigitPlace Digits(int left, int top, int count, int decimals, bool attr = false) {
  DigitPlace d;
  d.left = left;
  d.top = top;
  d.count = count;
  d.width = kSmallDigitWidth;
  d.height = kSmallDigitHeight;
  d.decimals = decimals;
  d.isFloat = decimals > 0;
  d.isAttr = attr;
  return d;
}

StatusBarPlace Gauge(std::string_view list, int left, int top, int min, int max) {
  const skin::ImageListResource* resource = skin::FindImageListResource(list);
  if (resource == nullptr) throw std::logic_error("no image list " + std::string(list));
  return {left,
          top,
          resource->cellWidth,
          resource->cellHeight,
          std::to_string(min),
          std::to_string(max),
          resource->count - 1};
}

// A vertical bar with its marker on the right: the marker's top edge marks the value, so its
// origin lies 4 pixels above the bar's bottom (the display adds those 4 back).
void VerticalBar(DisplayEntry& e, int cx, int top, int length, int caliper, std::string min,
                 std::string max, bool marker) {
  e.statusRect = StatusRectPlace{cx - caliper / 2, top,  length, caliper, std::move(min),
                                 std::move(max),   false};
  if (marker) {
    e.posBar = PosBarPlace{
        cx - caliper / 2 + caliper + 2, top + length - 4,          kMarkerWidth, kMarkerHeight,
        Shared("marker_v.bmp"),         Shared("marker_v_dis.bmp")};
  }
}

ButtonEntry Button(std::string key, QRect rect, const std::string& stem) {
  return {std::move(key), rect, States(stem)};
}

ButtonEntry Switch(std::string key, int cx, int top) {
  return Button(std::move(key), QRect(cx - kSwitchWidth / 2, top, kSwitchWidth, kSwitchHeight),
                Shared("switch"));
}

PageTable WattGroup(const std::string& lang) {
  PageTable page{"Manager\\Watt", {}, {}};
  DisplayEntry total{
      "Total", Digits(38, 110, 5, 1), Gauge("ILTStatusBar", 142, 107, 0, 550), {}, {}};
  DisplayEntry peak{
      "Peak", Digits(358, 110, 5, 1), Gauge("ILWStatusBar", 434, 107, 0, 550), {}, {}};
  page.displays = {total, peak};
  page.buttons = {Button("ClearPeak", QRect(554, 104, 54, 28), lang + "btn_clear")};
  return page;
}

PageTable VoltageGroup(const std::string& lang, bool small) {
  PageTable page{small ? "Manager\\Voltage_450W" : "Manager\\Voltage", {}, {}};
  const char* rails[2][4] = {{"12V1", "12V2", "12V3", "12V4"}, {"5V", "33V", "5Vsb", "Neg12V"}};
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 4; ++col) {
      const std::string rail = rails[row][col];
      const QRect rect(kTileColumns[col], kTileRows[row], kTileWidth, kTileHeight);
      const bool absent = small && (rail == "12V3" || rail == "12V4");
      page.buttons.push_back(absent ? ButtonEntry{rail,
                                                  rect,
                                                  {Shared("rail_na.bmp"), Shared("rail_na.bmp"),
                                                   Shared("rail_na.bmp"), Shared("rail_na.bmp")}}
                                    : Button(rail, rect, Shared("rail_" + rail)));
    }
  }
  page.buttons.push_back(
      Button("All", QRect(kTileColumns[3], 206, kTileWidth, kTileHeight), lang + "btn_all"));
  page.displays = {DisplayEntry{"Real", Digits(40, 211, 4, 2, true), {}, {}, {}}};
  return page;
}

PageTable CurrentGroup(const std::string& lang, bool small) {
  PageTable page{small ? "Manager\\Current_450W" : "Manager\\Current", {}, {}};
  const char* rails[2][3] = {{"12V1", "12V2", "12V3"}, {"5V", "33V", nullptr}};
  for (int col = 0; col < 4; ++col) {
    const std::string rail = col < 3 ? rails[0][col] : "12V4";
    const QRect rect(kCurrentTileColumns[col], kTileRows[0], kTileWidth, kTileHeight);
    const bool absent = small && (rail == "12V3" || rail == "12V4");
    page.buttons.push_back(absent ? ButtonEntry{rail,
                                                rect,
                                                {Shared("rail_na.bmp"), Shared("rail_na.bmp"),
                                                 Shared("rail_na.bmp"), Shared("rail_na.bmp")}}
                                  : Button(rail, rect, Shared("rail_" + rail)));
  }
  for (int col = 0; col < 2; ++col) {
    const std::string rail = rails[1][col];
    page.buttons.push_back(
        Button(rail, QRect(kCurrentTileColumns[col], kTileRows[1], kTileWidth, kTileHeight),
               Shared("rail_" + rail)));
  }
  page.buttons.push_back(
      Button("All", QRect(kCurrentTileColumns[3], kTileRows[1], kTileWidth, kTileHeight),
             lang + "btn_all"));
  page.displays = {
      DisplayEntry{"Real", Digits(340, 211, 4, 2), {}, {}, {}},
      DisplayEntry{
          "Peak", Digits(448, 211, 4, 2), Gauge("ILCPeakStatusBar", 512, 214, 0, 40), {}, {}},
  };
  return page;
}

PageTable FanSpeedGroup() {
  PageTable page{"Manager\\FanSpeed", {}, {}};
  page.displays = {
      DisplayEntry{
          "PSU Fan", Digits(138, 414, 4, 0), Gauge("ILPSUStatusBar", 130, 442, 0, 3000), {}, {}},
      DisplayEntry{
          "System Fan", Digits(349, 414, 4, 0), Gauge("ILSYSStatusBar", 341, 442, 0, 3000), {}, {}},
  };
  return page;
}

PageTable TemperatureGroup(const std::string& lang) {
  PageTable page{"Manager\\Temperature", {}, {}};
  page.buttons = {Button("Celsius", QRect(20, 508, 128, 34), lang + "btn_celsius"),
                  Button("Fahrenheit", QRect(156, 508, 128, 34), lang + "btn_fahrenheit")};
  StatusBarPlace dial{436, 380, 87, 47, "0", "100", skin::kTempGaugeFrames - 1};
  page.displays.push_back(DisplayEntry{"PSU", Digits(548, 399, 3, 0), dial, {}, {}});
  const char* sensors[] = {"T1", "T2", "T3", "T4"};
  for (int i = 0; i < 4; ++i) {
    const skin::places::Place edit = skin::places::kEditT[i];
    // Digits and gauge follow the sensor's name field on its row.
    const int digitLeft = edit.Left + edit.Width + 8;
    const int top = edit.Top - 2;
    page.displays.push_back(DisplayEntry{
        sensors[i],
        Digits(digitLeft, top, 3, 0),
        Gauge(std::string("ILTemp") + sensors[i] + "CStatusBar", digitLeft + 32, top, 0, 100),
        {},
        {}});
  }
  return page;
}

PageTable ConfigPage(const std::string& lang) {
  PageTable page{"Config", {}, {}};
  page.buttons = {
      Button("FanSpeed", QRect(20, 46, 140, 30), lang + "tab_fan"),
      Button("Voltage", QRect(166, 46, 140, 30), lang + "tab_volt"),
      Button("OK", QRect(420, 540, 96, 32), lang + "btn_ok"),
      Button("Cancel", QRect(524, 540, 96, 32), lang + "btn_cancel"),
      Button("ModePerform", QRect(20, 216, 136, 76), lang + "btn_perform"),
      Button("ModeNormal", QRect(164, 216, 136, 76), lang + "btn_normal"),
      Button("ModeSilence", QRect(20, 298, 136, 76), lang + "btn_silent"),
      Button("ModeManual", QRect(164, 298, 136, 76), lang + "btn_manual"),
      Button("PSUFan", QRect(20, 112, 136, 56), lang + "btn_psufan"),
      Button("SystemFan", QRect(164, 112, 136, 56), lang + "btn_sysfan"),
      Button("Celsius", QRect(20, 428, 128, 34), lang + "btn_celsius"),
      Button("Fahrenheit", QRect(164, 428, 128, 34), lang + "btn_fahrenheit"),
  };
  const std::vector<int> columns =
      ColumnCentres(3, cards::kConfigTrim.left(), cards::kConfigTrim.right() + 1);
  const char* rails[] = {"12V", "5V", "33V"};
  for (int i = 0; i < 3; ++i) {
    const std::string rail = rails[i];
    const Range range = TrimRange(rail);
    DisplayEntry e{rail,
                   CentredDigits(columns[i], kTrimDigitTop, rail == "12V" ? 4 : 3, 2, false, true),
                   {},
                   {},
                   {}};
    VerticalBar(e, columns[i], kTrimBarTop, kTrimBarLength, kTrimBarCaliper,
                RatingList([&](int) { return range.min; }),
                RatingList([&](int) { return range.max; }), true);
    page.displays.push_back(e);
    page.buttons.push_back(Switch(rail + "Light", columns[i], kTrimBarTop + kTrimBarLength + 18));
  }
  // The fan curve's two markers: their tips point at the curve's knee, whose drag limits and
  // value mapping the page sets itself (4.0 .. 12.0 V over 85 pixels from 403, 25 .. 74 over
  // 157 pixels from 387).
  const skin::places::Place curve = skin::places::kLabelCurve;
  DisplayEntry vol{"FSVol",
                   {},
                   {},
                   PosBarPlace{curve.Left - 14, 488, 12, 17, Shared("marker_fan_v.bmp"),
                               Shared("marker_fan_v_dis.bmp")},
                   {}};
  DisplayEntry temp{"FSTemp",
                    {},
                    {},
                    PosBarPlace{387, curve.Top + curve.Height + 2, 7, 10,
                                Shared("marker_fan_h.bmp"), Shared("marker_fan_h_dis.bmp")},
                    {}};
  page.displays.push_back(vol);
  page.displays.push_back(temp);
  return page;
}

// The alarm page's display and switch of one threshold.
void AlarmColumn(PageTable& page, const std::string& group, const std::string& rail,
                 const std::string& switchKey, int cx, int count, int decimals, bool attr) {
  const std::string key = group.empty() ? rail : group + "\\" + rail;
  DisplayEntry e{key, CentredDigits(cx, kAlarmDigitTop, count, decimals, attr, true), {}, {}, {}};
  const std::string plain = group.rfind("Current", 0) == 0 ? "Current" : group;
  VerticalBar(e, cx, kAlarmBarTop, kAlarmBarLength, kAlarmBarCaliper,
              RatingList([&](int r) { return AlarmRange(plain, rail, r).min; }),
              RatingList([&](int r) { return AlarmRange(plain, rail, r).max; }), true);
  page.displays.push_back(e);
  if (!switchKey.empty())
    page.buttons.push_back(Switch(group + "\\" + switchKey, cx, kAlarmSwitchTop));
}

PageTable AlarmPage(const std::string& lang, bool small) {
  PageTable page{"Alarm", {}, {}};
  const char* tabs[][2] = {{"Watt", "tab_watt"},
                           {"Voltage", "tab_voltage"},
                           {"Current", "tab_current"},
                           {"FanSpeed", "tab_fanspeed"},
                           {"Temperature", "tab_temperature"}};
  for (int i = 0; i < 5; ++i) {
    page.buttons.push_back(Button(tabs[i][0], QRect(20 + i * 118, 46, 112, 30), lang + tabs[i][1]));
  }
  page.buttons.push_back(
      ButtonEntry{"Disable", QRect(20, 540, 170, 32), States(lang + "disable_alarm_v")});
  page.buttons.push_back(Button("OK", QRect(420, 540, 96, 32), lang + "btn_ok"));
  page.buttons.push_back(Button("Cancel", QRect(524, 540, 96, 32), lang + "btn_cancel"));

  AlarmColumn(page, "", "Total", "", ColumnCentres(1, kAlarmLeft, kAlarmRight)[0], 4, 0, false);
  std::vector<int> c = ColumnCentres(3, kAlarmLeft, kAlarmRight);
  const char* volts[] = {"12V", "5V", "33V"};
  for (int i = 0; i < 3; ++i) {
    AlarmColumn(page, "Voltage", volts[i], std::string(volts[i]) + "Light", c[i], 3, 1, true);
  }
  c = ColumnCentres(6, kAlarmLeft, kAlarmRight);
  const std::string current = small ? "Current_450W" : "Current";
  const char* rails[] = {"12V1", "12V2", "12V3", "12V4", "5V", "33V"};
  for (int i = 0; i < 6; ++i) {
    AlarmColumn(page, current, rails[i], std::string(rails[i]) + "Light", c[i], 3, 1, false);
  }
  c = ColumnCentres(2, kAlarmLeft, kAlarmRight);
  AlarmColumn(page, "FanSpeed", "PSU", "PSULight", c[0], 4, 0, false);
  AlarmColumn(page, "FanSpeed", "SystemFan", "SystemFanLight", c[1], 4, 0, false);
  c = ColumnCentres(5, kAlarmLeft, kAlarmRight);
  const char* sensors[] = {"PSU", "T1", "T2", "T3", "T4"};
  for (int i = 0; i < 5; ++i) {
    AlarmColumn(page, "Temperature", sensors[i], std::string(sensors[i]) + "Light", c[i], 3, 0,
                false);
  }
  page.buttons.push_back(Button("Temperature\\Celsius", QRect(476, 88, 64, 24), Shared("btn_c")));
  page.buttons.push_back(
      Button("Temperature\\Fahrenheit", QRect(544, 88, 64, 24), Shared("btn_f")));
  return page;
}

PageTable CtrlPage() {
  PageTable page{"Ctrl", {}, {}};
  page.buttons = {
      Button("Manager", QRect(12, 607, 96, 36), Shared("M")),
      Button("Alarm", QRect(212, 607, 96, 36), Shared("A")),
      Button("Config", QRect(112, 607, 96, 36), Shared("C")),
      // The LED starts switched on, so the records carry the LED-on sets.
      Button("Minimum", QRect(334, 612, 36, 28), Shared("LED_-")),
      Button("Close", QRect(376, 612, 36, 28), Shared("LED_x")),
      Button("LEDLight",
             QRect(skin::places::kLedArea.Left,
                   skin::places::kImgCtrl.Top + skin::places::kLedArea.Top,
                   skin::places::kLedArea.Width, skin::places::kLedArea.Height),
             Shared("led_area")),
  };
  return page;
}

// The rails of a detail window at a rating form, in column order; absent rails come after.
PageTable DetailWindow(bool voltage, bool small) {
  const std::string group =
      voltage ? (small ? "Voltage_450W" : "Voltage") : (small ? "Current_450W" : "Current");
  PageTable page{"Manager\\" + group + "\\All", {}, {}};
  page.buttons = {Button("Close", QRect(586, 10, 30, 24), Shared("wclose"))};
  std::vector<std::string> rails =
      voltage
          ? std::vector<std::string>{"12V1", "12V2", "12V3", "12V4", "5V", "33V", "Neg12V", "5Vsb"}
          : std::vector<std::string>{"12V1", "12V2", "12V3", "12V4", "5V", "33V"};
  std::vector<std::string> shown;
  for (const auto& rail : rails) {
    if (!(small && (rail == "12V3" || rail == "12V4"))) shown.push_back(rail);
  }
  const std::vector<int> c =
      ColumnCentres(static_cast<int>(shown.size()), kDetailLeft, kDetailRight);
  for (const auto& rail : rails) {
    const auto at = std::find(shown.begin(), shown.end(), rail);
    if (at == shown.end()) {
      page.displays.push_back(DisplayEntry{rail, {}, {}, {}, {}});  // nothing of it is shown
      continue;
    }
    const int cx = c[static_cast<std::size_t>(at - shown.begin())];
    const bool negative = rail == "Neg12V";
    DisplayEntry e{rail, CentredDigits(cx, kDetailDigitTop, 4, 2, negative, true), {}, {}, {}};
    if (voltage) {
      // The -12 V rail's bar is fed its magnitude, so its range is written as magnitudes.
      const Range range = VoltageWindowRange(rail);
      VerticalBar(e, cx, kDetailBarTop, kDetailBarLength, kDetailBarCaliper, Number(range.min),
                  Number(range.max), false);
    } else {
      VerticalBar(e, cx, kDetailBarTop, kDetailBarLength, kDetailBarCaliper,
                  RatingList([&](int r) { return CurrentWindowRange(rail, r).min; }),
                  RatingList([&](int r) { return CurrentWindowRange(rail, r).max; }), false);
    }
    page.displays.push_back(e);
  }
  return page;
}

}  // namespace

QRect DigitPlace::Extent(bool altDigitSet) const {
  const int row = DigitRowWidth(count, decimals, isFloat, width);
  QRect rect(left, top, row, height);
  if (isAttr) {
    const QRect sign = altDigitSet ? QRect(left - 9, top + height - 14, 8, 11)
                                   : QRect(left - 8, top + height - 12, 8, 11);
    rect = rect.united(sign);
  }
  return rect;
}

const ButtonEntry& PageTable::Button(const std::string& key) const {
  for (const auto& b : buttons) {
    if (b.key == key) return b;
  }
  throw std::logic_error("no button " + key + " on " + pageName);
}

const DisplayEntry& PageTable::Display(const std::string& key) const {
  for (const auto& d : displays) {
    if (d.key == key) return d;
  }
  throw std::logic_error("no display " + key + " on " + pageName);
}

std::vector<int> ColumnCentres(int n, int left, int right) {
  std::vector<int> centres;
  for (int i = 0; i < n; ++i) centres.push_back(left + (2 * i + 1) * (right - left) / (2 * n));
  return centres;
}

Range CurrentWindowRange(const std::string& rail, int rating) {
  if (rail.rfind("12V", 0) == 0) {
    return {0, rating >= 800 ? 35.0 : rating >= 680 ? 30.0 : 25.0};
  }
  return {0, 25};
}

Range AlarmRange(const std::string& group, const std::string& rail, int rating) {
  if (group.empty() || group == "Watt") return {0, static_cast<double>(rating)};
  if (group == "Voltage") {
    const double nominal = rail == "12V" ? 12.0 : rail == "5V" ? 5.0 : 3.3;
    return {nominal * 0.9, nominal * 1.1};
  }
  if (group == "Current") {
    if (rail.rfind("12V", 0) == 0) return {0, rating >= 800 ? 40.0 : rating >= 680 ? 35.0 : 30.0};
    return {0, 30};
  }
  if (group == "FanSpeed") return {0, 3000};
  return {0, 100};
}

Range VoltageWindowRange(const std::string& rail) {
  const double nominal = rail.rfind("12V", 0) == 0 || rail == "Neg12V" ? 12.0
                         : rail == "33V"                               ? 3.3
                                                                       : 5.0;
  return {nominal * 0.9, nominal * 1.1};
}

Range TrimRange(const std::string& rail) {
  if (rail == "12V") return {11.4, 12.6};
  if (rail == "5V") return {4.75, 5.25};
  return {3.135, 3.465};
}

SkinTable BuildSkinTable(const std::string& folder, bool small) {
  const std::string lang = "Skin\\" + folder + "\\";
  SkinTable table;
  table.managerGroups = {WattGroup(lang), VoltageGroup(lang, small), CurrentGroup(lang, small),
                         FanSpeedGroup(), TemperatureGroup(lang)};
  table.config = ConfigPage(lang);
  table.alarm = AlarmPage(lang, small);
  table.ctrl = CtrlPage();
  table.voltageWindow = DetailWindow(true, small);
  table.currentWindow = DetailWindow(false, small);
  return table;
}

}  // namespace skingen
