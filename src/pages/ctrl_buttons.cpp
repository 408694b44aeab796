#include "pages/ctrl_buttons.h"

#include <stdexcept>
#include <string>

namespace pages {

CtrlButtons CtrlButtons::FromRecords(const skin::PageRecords& records) {
  const auto take = [&](std::string_view key) {
    const skin::ButtonRecord* record = records.Button(key);
    if (!record) {
      throw std::invalid_argument("control bar: no button record \"" + std::string(key) + "\" in " +
                                  records.PagePath());
    }
    return *record;
  };
  return CtrlButtons{take("Manager"), take("Config"), take("Alarm"), take("Minimum"),
                     take("Close")};
}

}  // namespace pages
