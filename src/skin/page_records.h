#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "skin/layout_reader.h"
#include "skin/layout_records.h"
#include "skin/skin_pages.h"

namespace skin {

// A button record: its rectangle and its four bitmap paths, by position (kLeaveBmp ...).
struct ButtonRecord {
  ButtonLayout rect;
  std::vector<std::string> bitmaps;
};

// The records of one page (or one monitor-page group) as its builder receives them.
class PageRecords {
 public:
  // Reads every key of `page` below `languageFolder` in reading order, also after a failed
  // one. Conversion, registry read and format errors propagate.
  static PageRecords Read(LayoutReader& reader, std::string_view languageFolder,
                          const PageKeys& page);

  const std::string& PagePath() const { return pagePath_; }

  // True when every record was read: every button key existed and no display missed a
  // flagged group.
  bool Complete() const { return failures_.empty(); }
  // One line per failed record, naming the key that is missing.
  const std::vector<std::string>& Failures() const { return failures_; }
  // Display keys that do not exist (not an error: such a display shows nothing).
  const std::vector<std::string>& AbsentDisplays() const { return absentDisplays_; }

  // The record of a control key; nullptr when it was not read (failed, or not of this page).
  // An absent display key gives its all-zero record.
  const ButtonRecord* Button(std::string_view controlKey) const;
  const DisplayLayout* Display(std::string_view controlKey) const;

 private:
  std::string pagePath_;
  std::map<std::string, ButtonRecord, std::less<>> buttons_;
  std::map<std::string, DisplayLayout, std::less<>> displays_;
  std::vector<std::string> failures_;
  std::vector<std::string> absentDisplays_;
};

}  // namespace skin
