#pragma once

#include <QString>
#include <array>
#include <string>
#include <vector>

namespace skingen {

// Every text the default skin prints, in each of its eight languages.
enum class Text {
  Monitor,
  Settings,
  Alarms,
  Power,
  Total,
  Peak,
  Clear,
  Voltage,
  Current,
  All,
  PsuFan,
  SystemFan,
  PsuTemp,
  Unit,
  Celsius,
  Fahrenheit,
  Sensors,
  FanSpeed,
  Fan,
  Mode,
  Performance,
  Normal,
  Silent,
  Manual,
  FanCurve,
  StartVoltage,
  RiseTemp,
  Sensor,
  Ok,
  Cancel,
  VoltageTrim,
  Target,
  TrimHint,
  AlarmsOn,
  AlarmsOff,
  PowerLimit,
  VoltageTolerance,
  CurrentLimit,
  MinimumSpeed,
  TemperatureLimit,
  Temperature,
  OutputVoltages,
  OutputCurrents,
  CurveHint,
  RangeLegend,
  NotAt450,
  Count
};

struct Language {
  std::string folder;  // the language folder without its backslash, e.g. "Eng"
  QString fontFamily;  // a Noto family that holds the language's script
  bool upperCaseTitles;
  std::array<QString, static_cast<int>(Text::Count)> texts;

  const QString& operator[](Text t) const { return texts[static_cast<std::size_t>(t)]; }
};

// The eight languages in the order osLang numbers them (1 English ... 8 traditional Chinese).
const std::vector<Language>& Languages();

}  // namespace skingen
