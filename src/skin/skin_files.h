#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skin {

// The folder beside the program that holds every bitmap; per-language pictures lie in its
// sub-folder named by LanguageFolder.
inline constexpr std::string_view kSkinFolder = "Skin\\";

// Pictures of the language folder (file names; the path is "Skin\" + LanguageFolder + name).
inline constexpr std::string_view kManagerBackground = "Manager_BK.bmp";
inline constexpr std::string_view kConfigFanCelsiusBackground = "CFanSpeed_C.bmp";
inline constexpr std::string_view kConfigFanFahrenheitBackground = "CFanSpeed_F.bmp";
inline constexpr std::string_view kConfigVoltageBackground = "CVol.bmp";
inline constexpr std::string_view kAlarmVoltageBackground = "Alarm-Voltage.bmp";
inline constexpr std::string_view kAlarmFanSpeedBackground = "Alarm-FanSpeed.bmp";
inline constexpr std::string_view kAlarmTemperatureCelsiusBackground = "Alarm-Temperature_C.bmp";
inline constexpr std::string_view kAlarmTemperatureFahrenheitBackground = "Alarm-Temperature_F.bmp";

// The PSU temperature gauge pictures, nine of 87 x 47 pixels per unit.
inline constexpr int kTempGaugeImageCount = 9;
inline constexpr int kTempGaugeWidth = 87;
inline constexpr int kTempGaugeHeight = 47;

// The alarm page's power background as the skin load names it, "Alarm-watt_550w.bmp".
std::string AlarmWattBackground(int powerRating);
// The same picture as the power group of the alarm page names it, "Alarm-Watt_550w.bmp".
// Both spellings resolve to one file, since skin paths match without regard to case.
std::string AlarmWattGroupBackground(int powerRating);
std::string AlarmCurrentBackground(int powerRating);
std::string VoltageWindowBackground(int powerRating);
std::string CurrentWindowBackground(int powerRating);
// "data_c_01.bmp" .. "data_c_09.bmp" (Celsius) and "data_f_0n.bmp" (Fahrenheit); n from 1.
std::string TempGaugeFile(bool celsius, int n);

// The two picture sets of the alarm page's Disable button (normal, hover, pressed,
// disabled), in the language folder: group switched on (v) and group muted (x).
std::vector<std::string> DisableAlarmSet(bool muted);

// Every picture the program loads from the language folder at this rating by a fixed name.
std::vector<std::string> LanguageBitmaps(int powerRating);

// Every picture the program loads by a fixed name from "Skin\" itself, with that prefix
// ("Skin\M_Sel.bmp"): control bar, tabs, close and minimise sets, alarm icons, digit signs,
// blanks and decimal points.
std::vector<std::string> SharedBitmaps();

}  // namespace skin
