#include "skin/digit_row.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/ui/image.h"
#include "platform/ui/image_list.h"

namespace skin {
namespace {

// Cell width of the small digit set; any other width takes the big pictures.
constexpr std::int32_t kSmallDigitWidth = 8;
// The sign picture, and where it sits left of and up from the bottom of the first cell.
constexpr std::int32_t kSignWidth = 8, kSignHeight = 11;
constexpr std::int32_t kSignLeftGap = 8, kSignBottomGap = 12;
constexpr std::int32_t kAltSignLeftGap = 9, kAltSignBottomGap = 14;
// The decimal point picture and the gap it leaves between integer and decimal cells.
constexpr std::int32_t kDecimalPointSize = 3;

std::int64_t TruncWide(float v) {
  if (std::isnan(v)) return 0;
  constexpr float kLimit = 9.0e18f;
  if (v >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (v <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(v);
}

std::int64_t PowerOfTen(int exponent) {
  std::int64_t p = 1;
  for (int i = 0; i < exponent; ++i) p *= 10;
  return p;
}

}  // namespace

DigitRow::DigitRow(const ui::Control& host, FileResolver files)
    : host_(host), files_(std::move(files)) {}

DigitRow::~DigitRow() = default;

std::filesystem::path DigitRow::Picture(const char* small, const char* big) const {
  return files_(layout_.Width == kSmallDigitWidth ? small : big);
}

void DigitRow::Setup(DigitGroup layout) {
  layout.Count = std::clamp(layout.Count, 0, kMaxDigitCount);
  layout.DecimalCount = std::clamp(layout.DecimalCount, 0, layout.Count);
  layout_ = layout;
  const DigitGroup& d = layout_;

  // A second setup replaces the first one's parts instead of piling up cells.
  cells_.clear();
  point_.reset();
  sign_.reset();

  const std::int32_t leftGap = d.AltDigitSet ? kAltSignLeftGap : kSignLeftGap;
  const std::int32_t bottomGap = d.AltDigitSet ? kAltSignBottomGap : kSignBottomGap;
  sign_ = MakeTrackBarPart(
      host_, ui::Rect{d.Left - leftGap, d.Top + d.Height - bottomGap, kSignWidth, kSignHeight});

  const std::int32_t integerCells = d.isFloat ? d.Count - d.DecimalCount : d.Count;
  for (std::int32_t i = 0; i < integerCells; ++i) {
    cells_.push_back(
        MakeTrackBarPart(host_, ui::Rect{d.Left + i * (d.Width + 1), d.Top, d.Width, d.Height}));
  }
  if (!d.isFloat) return;

  // The point's picture is chosen by the first float setup and kept by later ones.
  if (pointPath_.empty()) {
    pointPath_ = d.Width == kSmallDigitWidth ? "Skin\\dot.bmp" : "Skin\\dot_big.bmp";
  }
  const std::int32_t lastIntegerLeft = d.Left + (integerCells - 1) * (d.Width + 1);
  point_ = MakeTrackBarPart(
      host_, ui::Rect{lastIntegerLeft + d.Width, d.Top + d.Height - kDecimalPointSize,
                      kDecimalPointSize, kDecimalPointSize});
  point_->LoadPicture(files_(pointPath_));
  for (std::int32_t j = 0; j < d.DecimalCount; ++j) {
    cells_.push_back(MakeTrackBarPart(
        host_, ui::Rect{lastIntegerLeft + d.Width + kDecimalPointSize + j * (d.Width + 1), d.Top,
                        d.Width, d.Height}));
  }
}

void DigitRow::DrawDigit(ui::Image& cell, std::int64_t digit) const {
  // A digit outside 0..9 (a value too large for its cells) draws nothing in its cell and
  // never reads outside the list.
  if (images_ && digit >= 0 && digit <= 9) {
    images_->Draw(cell, static_cast<int>(digit));
  } else {
    cell.Clear();
  }
}

void DigitRow::Show(float value, bool negative, bool alternate) {
  if (cells_.empty()) return;
  if (layout_.isFloat) {
    for (std::int32_t i = 0; i < layout_.DecimalCount; ++i) value = value * 10.0f;
  }
  std::int64_t n = TruncWide(value);

  if (layout_.isAttr && sign_) {
    if (negative) {
      sign_->LoadPicture(alternate ? Picture("Skin\\a_attr_neg.bmp", "Skin\\a_attr_neg_big.bmp")
                                   : Picture("Skin\\attr_neg.bmp", "Skin\\attr_neg_big.bmp"));
    } else {
      sign_->LoadPicture(alternate ? Picture("Skin\\a_attr_pos.bmp", "Skin\\a_attr_pos_big.bmp")
                                   : Picture("Skin\\attr_pos.bmp", "Skin\\attr_pos_big.bmp"));
    }
  }

  const int cells = static_cast<int>(cells_.size());
  const int unitsPosition = cells - layout_.DecimalCount - 1;
  bool leadingZeros = true;
  for (int i = 0; i < cells; ++i) {
    const std::int64_t divisor = PowerOfTen(cells - 1 - i);
    const std::int64_t digit = n / divisor;
    n %= divisor;
    ui::Image& cell = *cells_[static_cast<std::size_t>(i)];
    if (digit != 0) {
      cell.Show();
      leadingZeros = false;
      DrawDigit(cell, digit);
    } else if (leadingZeros && i != unitsPosition) {
      cell.LoadPicture(alternate ? Picture("Skin\\a_num_none.bmp", "Skin\\a_num_none_big.bmp")
                                 : Picture("Skin\\num_none.bmp", "Skin\\num_none_big.bmp"));
    } else {
      leadingZeros = false;
      DrawDigit(cell, 0);
    }
  }
}

void DigitRow::Shift(std::int32_t offset) {
  layout_.Top += offset;
  for (const auto& cell : cells_) cell->SetTop(cell->Top() + offset);
  if (layout_.isFloat && point_) point_->SetTop(point_->Top() + offset);
  if (sign_) sign_->SetTop(sign_->Top() + offset);
}

void DigitRow::SetVisible(bool visible, std::int32_t ownerTop) {
  for (const auto& cell : cells_) cell->SetVisible(visible);
  if (layout_.isFloat && point_) point_->SetVisible(visible);
  if (sign_ && sign_->Top() + sign_->Height() >= ownerTop) sign_->SetVisible(visible);
}

}  // namespace skin
