#include "skin/layout_reader.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/numbers.h"
#include "skin/rating_choice.h"
#include "skin/skin_errors.h"
#include "skin/skin_keys.h"

namespace skin {
namespace {

// Reads the values of one opened key, naming the key in every error it lets through.
class ValueReader {
 public:
  ValueReader(platform::RegistryKey& key, std::string_view path) : key_(key), path_(path) {}

  std::string Text(std::string_view name) {
    try {
      return key_.ReadExpandString(name);
    } catch (const platform::RegistryReadError& e) {
      throw platform::RegistryReadError(std::string(e.what()) + Where(name));
    }
  }

  std::int32_t Integer(std::string_view name) {
    const std::string text = Text(name);
    try {
      return core::StrictToInt(text);
    } catch (const core::ConversionError& e) {
      throw core::ConversionError(std::string(e.what()) + Where(name));
    }
  }

  bool Flag(std::string_view name) { return Integer(name) != 0; }

  // Skin reals are plain: not rounded to three decimals as settings are.
  float Real(std::string_view name) { return core::ParseRealNumber(Text(name)); }

  // A real text made whole by truncation toward zero, held within the 32-bit range.
  std::int32_t TruncatedReal(std::string_view name) {
    const float value = Real(name);
    constexpr float kLowest = static_cast<float>(std::numeric_limits<std::int32_t>::min());
    // 2^31 as a float; every float below it fits.
    constexpr float kAboveHighest = 2147483648.0f;
    if (value <= kLowest) return std::numeric_limits<std::int32_t>::min();
    if (value >= kAboveHighest) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::trunc(value));
  }

  float RatingReal(std::string_view name, int powerRating) {
    const std::string text = Text(name);
    try {
      return RatingChoice(text, powerRating);
    } catch (const SkinFormatError& e) {
      throw SkinFormatError(std::string(e.what()) + Where(name));
    }
  }

 private:
  std::string Where(std::string_view name) const {
    return " (value \"" + std::string(name) + "\" of key " + std::string(path_) + ")";
  }

  platform::RegistryKey& key_;
  std::string_view path_;
};

// The place and size most records start with, read in this order.
template <typename Box>
void ReadBox(ValueReader& values, Box& box) {
  box.Left = values.Integer("Left");
  box.Top = values.Integer("Top");
  box.Width = values.Integer("Width");
  box.Height = values.Integer("Height");
}

}  // namespace

LayoutReader::LayoutReader(platform::Registry& registry, ReaderVariant variant, int powerRating)
    : registry_(registry), variant_(variant), powerRating_(powerRating) {}

std::unique_ptr<platform::RegistryKey> LayoutReader::Open(const std::string& key) {
  auto opened = registry_.OpenKey(key);
  if (!opened) missingKey_ = key;
  return opened;
}

bool LayoutReader::ReadButtonLayout(std::string_view pagePath, std::string_view controlKey,
                                    ButtonLayout& rect, std::vector<std::string>& bitmaps) {
  const std::string path = ButtonKey(pagePath, controlKey);
  const auto key = Open(path);
  if (!key) return false;
  ValueReader values(*key, path);
  ReadBox(values, rect);
  // Read all four before appending, so a failing read leaves the caller's list as it was.
  std::string leave = values.Text("LeaveBmp");
  std::string enter = values.Text("EnterBmp");
  std::string click = values.Text("ClickBmp");
  std::string disabled = values.Text("DisBmp");
  bitmaps.push_back(std::move(leave));
  bitmaps.push_back(std::move(enter));
  bitmaps.push_back(std::move(click));
  bitmaps.push_back(std::move(disabled));
  return true;
}

bool LayoutReader::ReadDisplayLayout(std::string_view pagePath, std::string_view controlKey,
                                     DisplayLayout& layout) {
  return ReadDisplay(pagePath, controlKey, layout) != DisplayReadResult::GroupMissing;
}

DisplayReadResult LayoutReader::ReadDisplay(std::string_view pagePath, std::string_view controlKey,
                                            DisplayLayout& layout) {
  const std::string path = DisplayKey(pagePath, controlKey);
  const auto key = registry_.OpenKey(path);
  if (!key) return DisplayReadResult::KeyAbsent;
  ValueReader values(*key, path);
  layout.ShowDigit = values.Flag("ShowDigit");
  layout.ShowStatusBar = values.Flag("ShowStatusBar");
  layout.ShowPosBar = values.Flag("ShowPosBar");
  layout.ShowStatusRect = values.Flag("ShowStatusRect");

  const bool complete = (!layout.ShowDigit || ReadDigitGroup(path, layout.digit)) &&
                        (!layout.ShowStatusBar || ReadStatusBarGroup(path, layout.statusBar)) &&
                        (!layout.ShowPosBar || ReadPosBarGroup(path, layout.posBar)) &&
                        (!layout.ShowStatusRect || ReadStatusRectGroup(path, layout.statusRect));
  return complete ? DisplayReadResult::Read : DisplayReadResult::GroupMissing;
}

bool LayoutReader::ReadDigitGroup(std::string_view displayKey, DisplayLayout::Digit& digit) {
  const std::string path = GroupKey(displayKey, kDigitGroup);
  const auto key = Open(path);
  if (!key) return false;
  ValueReader values(*key, path);
  // The digit group's own reading order differs from its field order.
  ReadBox(values, digit);
  digit.Count = values.Integer("Count");
  digit.DecimalCount = values.Integer("DecimalCount");
  digit.isFloat = values.Flag("isFloat");
  digit.isAttr = values.Flag("isAttr");
  return true;
}

bool LayoutReader::ReadStatusBarGroup(std::string_view displayKey, DisplayLayout::StatusBar& bar) {
  const std::string path = GroupKey(displayKey, kStatusBarGroup);
  const auto key = Open(path);
  if (!key) return false;
  ValueReader values(*key, path);
  ReadBox(values, bar);
  if (variant_ == ReaderVariant::CurrentWindow) {
    bar.Min = values.TruncatedReal("Min");
    bar.Max = values.TruncatedReal("Max");
  } else {
    bar.Min = values.Integer("Min");
    bar.Max = values.Integer("Max");
  }
  bar.Scale = values.Integer("Scale");
  return true;
}

bool LayoutReader::ReadPosBarGroup(std::string_view displayKey, DisplayLayout::PosBar& posBar) {
  const std::string path = GroupKey(displayKey, kPosBarGroup);
  const auto key = Open(path);
  if (!key) return false;
  ValueReader values(*key, path);
  ReadBox(values, posBar);
  posBar.Path = values.Text("Path");
  posBar.disPath = values.Text("disPath");
  return true;
}

bool LayoutReader::ReadStatusRectGroup(std::string_view displayKey,
                                       DisplayLayout::StatusRect& rect) {
  const std::string path = GroupKey(displayKey, kStatusRectGroup);
  const auto key = Open(path);
  if (!key) return false;
  ValueReader values(*key, path);
  rect.Left = values.Integer("Left");
  rect.Top = values.Integer("Top");
  rect.Length = values.Integer("Length");
  rect.Caliper = values.Integer("Caliper");
  if (variant_ == ReaderVariant::VoltageWindow) {
    rect.Min = values.Real("Min");
    rect.Max = values.Real("Max");
  } else {
    rect.Min = values.RatingReal("Min", powerRating_);
    rect.Max = values.RatingReal("Max", powerRating_);
  }
  rect.Horizontal = values.Flag("Horizontal");
  return true;
}

}  // namespace skin
