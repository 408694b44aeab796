#include "skin/skin_pages.h"

#include "skin/skin_keys.h"

namespace skin {
namespace {

constexpr ControlKind B = ControlKind::Button;
constexpr ControlKind D = ControlKind::Display;

std::string RatingForm(std::string_view name, int powerRating) {
  std::string form(name);
  if (powerRating == kSmallRating) form += "_450W";
  return form;
}

}  // namespace

std::string VoltageGroupName(int powerRating) {
  return RatingForm("Voltage", powerRating);
}
std::string CurrentGroupName(int powerRating) {
  return RatingForm("Current", powerRating);
}

std::vector<PageKeys> ManagerGroupKeys(int powerRating) {
  return {
      {"Manager\\Watt", {{"Total", D}, {"Peak", D}, {"ClearPeak", B}}},
      {"Manager\\" + VoltageGroupName(powerRating),
       {{"5V", B},
        {"33V", B},
        {"5Vsb", B},
        {"12V1", B},
        {"12V2", B},
        {"12V3", B},
        {"Neg12V", B},
        {"All", B},
        {"12V4", B},
        {"Real", D}}},
      {"Manager\\" + CurrentGroupName(powerRating),
       {{"5V", B},
        {"33V", B},
        {"12V1", B},
        {"12V2", B},
        {"12V3", B},
        {"12V4", B},
        {"All", B},
        {"Real", D},
        {"Peak", D}}},
      {"Manager\\FanSpeed", {{"PSU Fan", D}, {"System Fan", D}}},
      {"Manager\\Temperature",
       {{"Celsius", B}, {"Fahrenheit", B}, {"PSU", D}, {"T1", D}, {"T2", D}, {"T3", D}, {"T4", D}}},
  };
}

PageKeys ConfigPageKeys() {
  return {"Config", {{"FanSpeed", B},    {"Voltage", B},    {"12V", D},         {"5V", D},
                     {"33V", D},         {"OK", B},         {"Cancel", B},      {"12VLight", B},
                     {"5VLight", B},     {"33VLight", B},   {"ModePerform", B}, {"ModeNormal", B},
                     {"ModeSilence", B}, {"ModeManual", B}, {"PSUFan", B},      {"SystemFan", B},
                     {"Celsius", B},     {"Fahrenheit", B}, {"FSVol", D},       {"FSTemp", D}}};
}

PageKeys AlarmPageKeys(int powerRating) {
  const std::string c = CurrentGroupName(powerRating) + "\\";
  return {"Alarm",
          {{"Watt", B},
           {"Voltage", B},
           {"Current", B},
           {"FanSpeed", B},
           {"Temperature", B},
           {"Disable", B},
           {"OK", B},
           {"Cancel", B},
           {"Total", D},
           {"Voltage\\12V", D},
           {"Voltage\\12VLight", B},
           {"Voltage\\5V", D},
           {"Voltage\\5VLight", B},
           {"Voltage\\33V", D},
           {"Voltage\\33VLight", B},
           {c + "12V1", D},
           {c + "12V1Light", B},
           {c + "12V2", D},
           {c + "12V2Light", B},
           {c + "12V3", D},
           {c + "12V3Light", B},
           {c + "12V4", D},
           {c + "12V4Light", B},
           {c + "5V", D},
           {c + "5VLight", B},
           {c + "33V", D},
           {c + "33VLight", B},
           {"FanSpeed\\PSU", D},
           {"FanSpeed\\PSULight", B},
           {"FanSpeed\\SystemFan", D},
           {"FanSpeed\\SystemFanLight", B},
           {"Temperature\\PSU", D},
           {"Temperature\\PSULight", B},
           {"Temperature\\T1", D},
           {"Temperature\\T1Light", B},
           {"Temperature\\T2", D},
           {"Temperature\\T2Light", B},
           {"Temperature\\T3", D},
           {"Temperature\\T3Light", B},
           {"Temperature\\T4", D},
           {"Temperature\\T4Light", B},
           {"Temperature\\Celsius", B},
           {"Temperature\\Fahrenheit", B}}};
}

PageKeys CtrlPageKeys() {
  return {
      "Ctrl",
      {{"Manager", B}, {"Alarm", B}, {"Config", B}, {"Minimum", B}, {"Close", B}, {"LEDLight", B}}};
}

PageKeys VoltageWindowKeys(int powerRating) {
  return {"Manager\\" + VoltageGroupName(powerRating) + "\\All",
          {{"Close", B},
           {"12V1", D},
           {"12V2", D},
           {"12V3", D},
           {"12V4", D},
           {"5V", D},
           {"33V", D},
           {"Neg12V", D},
           {"5Vsb", D}}};
}

PageKeys CurrentWindowKeys(int powerRating) {
  return {
      "Manager\\" + CurrentGroupName(powerRating) + "\\All",
      {{"Close", B}, {"12V1", D}, {"12V2", D}, {"12V3", D}, {"12V4", D}, {"5V", D}, {"33V", D}}};
}

}  // namespace skin
