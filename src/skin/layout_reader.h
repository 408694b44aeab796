#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"
#include "skin/layout_records.h"

namespace skin {

// The three windows read their records with the same readers; they differ only in how the
// status bar's and the status rect's Min and Max are written.
enum class ReaderVariant {
  MainWindow,     // status bar: integers; status rect: rating lists
  VoltageWindow,  // status bar: integers; status rect: single reals
  CurrentWindow,  // status bar: reals truncated toward zero; status rect: rating lists
};

// How reading one display record ended.
enum class DisplayReadResult {
  Read,          // the key existed and every flagged group was read
  KeyAbsent,     // no such key: not an error, the record is left as it was
  GroupMissing,  // a flagged group's sub-key does not exist: the record failed
};

// Fills ButtonLayout and DisplayLayout records from the skin tree of one registry accessor.
// Integers and flags are strict: a missing or malformed one throws core::ConversionError,
// naming the value and its key. A value stored as something other than text throws
// platform::RegistryReadError, and a rating list too short for the rating throws
// SkinFormatError; the readers catch none of these.
class LayoutReader {
 public:
  LayoutReader(platform::Registry& registry, ReaderVariant variant, int powerRating);

  // Reads the button key (page path + control key). False when the key does not exist; then
  // nothing is written. Otherwise fills `rect` and appends LeaveBmp, EnterBmp, ClickBmp and
  // DisBmp to `bitmaps`.
  bool ReadButtonLayout(std::string_view pagePath, std::string_view controlKey, ButtonLayout& rect,
                        std::vector<std::string>& bitmaps);

  // True when the display key does not exist (record untouched) or when every flagged group
  // was read; false when a flagged group's sub-key does not exist.
  bool ReadDisplayLayout(std::string_view pagePath, std::string_view controlKey,
                         DisplayLayout& layout);
  DisplayReadResult ReadDisplay(std::string_view pagePath, std::string_view controlKey,
                                DisplayLayout& layout);

  // The group readers: each returns false only when its sub-key does not exist.
  bool ReadDigitGroup(std::string_view displayKey, DisplayLayout::Digit& digit);
  bool ReadStatusBarGroup(std::string_view displayKey, DisplayLayout::StatusBar& bar);
  bool ReadPosBarGroup(std::string_view displayKey, DisplayLayout::PosBar& posBar);
  bool ReadStatusRectGroup(std::string_view displayKey, DisplayLayout::StatusRect& rect);

  // The key whose absence made the last read fail ("" before any failure).
  const std::string& MissingKey() const { return missingKey_; }

 private:
  std::unique_ptr<platform::RegistryKey> Open(const std::string& key);

  platform::Registry& registry_;
  ReaderVariant variant_;
  int powerRating_;
  std::string missingKey_;
};

}  // namespace skin
