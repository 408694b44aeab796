#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skin {

enum class ControlKind { Button, Display };

struct ControlKey {
  std::string name;  // below the page path; may hold a backslash ("Voltage\12V")
  ControlKind kind;
};

// The records one builder needs: a page path below the language folder and its keys in
// reading order.
struct PageKeys {
  std::string pageName;  // e.g. "Ctrl", "Manager\Watt", "Manager\Voltage_450W\All"
  std::vector<ControlKey> keys;
};

// The monitor page is read and built in five groups, in this order.
enum class ManagerGroup { Watt, Voltage, Current, FanSpeed, Temperature };
inline constexpr int kManagerGroupCount = 5;

// The main window's pages and the two detail windows, with every key each one reads. Where a
// name depends on the power rating, 450 gives the "_450W" form.
std::vector<PageKeys> ManagerGroupKeys(int powerRating);
PageKeys ConfigPageKeys();
PageKeys AlarmPageKeys(int powerRating);
PageKeys CtrlPageKeys();
PageKeys VoltageWindowKeys(int powerRating);
PageKeys CurrentWindowKeys(int powerRating);

// "Voltage" / "Voltage_450W" and "Current" / "Current_450W", the rating-dependent names.
std::string VoltageGroupName(int powerRating);
std::string CurrentGroupName(int powerRating);

}  // namespace skin
