#pragma once

#include "skin/page_records.h"

namespace pages {

// The control bar's button records from the skin's "Ctrl" page.
struct CtrlButtons {
  skin::ButtonRecord Manager;
  skin::ButtonRecord Config;
  skin::ButtonRecord Alarm;
  skin::ButtonRecord Minimum;
  skin::ButtonRecord Close;

  // Throws std::invalid_argument naming the first key the records lack.
  static CtrlButtons FromRecords(const skin::PageRecords& records);
};

}  // namespace pages
