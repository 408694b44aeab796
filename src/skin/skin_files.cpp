#include "skin/skin_files.h"

#include "skin/skin_keys.h"

namespace skin {

std::string AlarmWattBackground(int powerRating) {
  return "Alarm-watt_" + std::to_string(powerRating) + "w.bmp";
}

std::string AlarmWattGroupBackground(int powerRating) {
  return "Alarm-Watt_" + std::to_string(powerRating) + "w.bmp";
}

std::string AlarmCurrentBackground(int powerRating) {
  switch (powerRating) {
    case 800:
      return "Alarm-Current_800w.bmp";
    case 680:
      return "Alarm-Current_680w.bmp";
    case kSmallRating:
      return "Alarm-Current_450w.bmp";
    default:
      return "Alarm-Current.bmp";
  }
}

std::string VoltageWindowBackground(int powerRating) {
  return powerRating == kSmallRating ? "Voltage_450W.bmp" : "Voltage.bmp";
}

std::string CurrentWindowBackground(int powerRating) {
  switch (powerRating) {
    case 800:
      return "Current_800w.Bmp";
    case 680:
      return "Current_680w.Bmp";
    case kSmallRating:
      return "Current_450W.Bmp";
    default:
      return "Current.Bmp";
  }
}

std::string TempGaugeFile(bool celsius, int n) {
  return std::string(celsius ? "data_c_0" : "data_f_0") + std::to_string(n) + ".bmp";
}

std::vector<std::string> DisableAlarmSet(bool muted) {
  const std::string stem = muted ? "disable_alarm_x_" : "disable_alarm_v_";
  return {stem + "up.bmp", stem + "over.bmp", stem + "down.bmp", stem + "dis.bmp"};
}

std::vector<std::string> LanguageBitmaps(int powerRating) {
  std::vector<std::string> files = {
      std::string(kManagerBackground),
      std::string(kConfigFanCelsiusBackground),
      std::string(kConfigFanFahrenheitBackground),
      std::string(kConfigVoltageBackground),
      AlarmWattBackground(powerRating),
      std::string(kAlarmVoltageBackground),
      AlarmCurrentBackground(powerRating),
      std::string(kAlarmFanSpeedBackground),
      std::string(kAlarmTemperatureCelsiusBackground),
      std::string(kAlarmTemperatureFahrenheitBackground),
      VoltageWindowBackground(powerRating),
      CurrentWindowBackground(powerRating),
  };
  for (const bool celsius : {true, false}) {
    for (int n = 1; n <= kTempGaugeImageCount; ++n) files.push_back(TempGaugeFile(celsius, n));
  }
  for (const bool muted : {false, true}) {
    for (auto& file : DisableAlarmSet(muted)) files.push_back(std::move(file));
  }
  return files;
}

std::vector<std::string> SharedBitmaps() {
  std::vector<std::string> names = {
      "M_Sel.bmp",       "C_Sel.bmp",         "A_Sel.bmp", "Ctrl_BK.bmp",
      "Ctrl_LED_ON.bmp", "Ctrl_LED_over.bmp", "up.bmp",    "down.bmp",
      "watt_red.bmp",    "fan_red.bmp",       "dot.bmp",   "dot_big.bmp",
  };
  for (const std::string_view prefix : {"", "LED_", "LED_over_"}) {
    for (const std::string_view glyph : {"x_", "-_"}) {
      for (const std::string_view state : {"up", "over", "down", "dis"}) {
        names.push_back(std::string(prefix) + std::string(glyph) + std::string(state) + ".bmp");
      }
    }
  }
  for (const std::string_view alternate : {"", "a_"}) {
    for (const std::string_view picture : {"attr_neg", "attr_pos", "num_none"}) {
      for (const std::string_view size : {"", "_big"}) {
        names.push_back(std::string(alternate) + std::string(picture) + std::string(size) + ".bmp");
      }
    }
  }
  for (auto& name : names) name = std::string(kSkinFolder) + name;
  return names;
}

}  // namespace skin
