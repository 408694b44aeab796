#include "skin/page_records.h"

#include "skin/skin_keys.h"

namespace skin {

PageRecords PageRecords::Read(LayoutReader& reader, std::string_view languageFolder,
                              const PageKeys& page) {
  PageRecords records;
  records.pagePath_ = skin::PagePath(languageFolder, page.pageName);
  for (const ControlKey& control : page.keys) {
    if (control.kind == ControlKind::Button) {
      ButtonRecord button;
      if (reader.ReadButtonLayout(records.pagePath_, control.name, button.rect, button.bitmaps)) {
        records.buttons_.emplace(control.name, std::move(button));
      } else {
        records.failures_.push_back("button key " + reader.MissingKey() + " does not exist");
      }
      continue;
    }
    DisplayLayout layout;  // zeroed before reading
    switch (reader.ReadDisplay(records.pagePath_, control.name, layout)) {
      case DisplayReadResult::Read:
        records.displays_.emplace(control.name, layout);
        break;
      case DisplayReadResult::KeyAbsent:
        records.absentDisplays_.push_back(DisplayKey(records.pagePath_, control.name));
        records.displays_.emplace(control.name, layout);
        break;
      case DisplayReadResult::GroupMissing:
        records.failures_.push_back("flagged group key " + reader.MissingKey() + " does not exist");
        break;
    }
  }
  return records;
}

const ButtonRecord* PageRecords::Button(std::string_view controlKey) const {
  const auto found = buttons_.find(controlKey);
  return found == buttons_.end() ? nullptr : &found->second;
}

const DisplayLayout* PageRecords::Display(std::string_view controlKey) const {
  const auto found = displays_.find(controlKey);
  return found == displays_.end() ? nullptr : &found->second;
}

}  // namespace skin
