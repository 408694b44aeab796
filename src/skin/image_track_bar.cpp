#include "skin/image_track_bar.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "core/numbers.h"
#include "platform/ui/edit.h"
#include "platform/ui/image_list.h"
#include "platform/ui/solid_fill.h"
#include "platform/ui/window.h"

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
// The vertical marker beside a status rect sits this far below its origin.
constexpr std::int32_t kStatusRectMarkerDrop = 4;
constexpr int kRatioDecimals = 4;

// Truncation toward zero that saturates instead of overflowing; not-a-number gives 0.
std::int32_t Trunc(float v) {
  if (std::isnan(v)) return 0;
  constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
  if (v >= kLimit) return std::numeric_limits<std::int32_t>::max();
  if (v <= -kLimit) return -std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

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

TImageTrackBar::TImageTrackBar(ui::Window& owner, FileResolver files)
    : ui::Image(owner), files_(std::move(files)) {
  fill_ = std::make_unique<ui::SolidFill>(owner);
  gauge_ = MakePart(ui::Rect{});
  marker_ = MakePart(ui::Rect{});
}

TImageTrackBar::~TImageTrackBar() = default;

std::unique_ptr<ui::Image> TImageTrackBar::MakePart(const ui::Rect& bounds) {
  if (!Owner()) throw std::logic_error("a display whose window is gone cannot make parts");
  // Parts are drawn with the skin's magenta see-through.
  auto part = std::make_unique<ui::Image>(*Owner(), bounds);
  part->SetTransparent(true);
  return part;
}

std::filesystem::path TImageTrackBar::DigitFile(const char* small, const char* big) const {
  return files_(digit_.Width == kSmallDigitWidth ? small : big);
}

// ---- digits ----

void TImageTrackBar::SetupDigits(std::int32_t Left, std::int32_t Top, std::int32_t Count,
                                 std::int32_t Width, std::int32_t Height, bool isFloat,
                                 std::int32_t DecimalCount, bool isAttr, bool AltDigitSet) {
  // Skin data is untrusted: counts are kept within what the cells and a 64-bit value hold.
  Count = std::clamp(Count, 0, kMaxDigitCount);
  DecimalCount = std::clamp(DecimalCount, 0, Count);
  digit_ = DigitGroup{Left, Top, Width, Height, Count, isFloat, DecimalCount, isAttr, AltDigitSet};
  ShowDigit = true;

  // A second setup replaces the first one's parts instead of piling up cells.
  digitCells_.clear();
  decimalPoint_.reset();
  sign_.reset();

  sign_ = AltDigitSet ? MakePart(ui::Rect{Left - kAltSignLeftGap, Top + Height - kAltSignBottomGap,
                                          kSignWidth, kSignHeight})
                      : MakePart(ui::Rect{Left - kSignLeftGap, Top + Height - kSignBottomGap,
                                          kSignWidth, kSignHeight});

  const std::int32_t integerCells = isFloat ? Count - DecimalCount : Count;
  for (std::int32_t i = 0; i < integerCells; ++i) {
    digitCells_.push_back(MakePart(ui::Rect{Left + i * (Width + 1), Top, Width, Height}));
  }
  if (!isFloat) return;

  if (decimalPointPath_.empty()) {
    decimalPointPath_ = Width == kSmallDigitWidth ? "Skin\\dot.bmp" : "Skin\\dot_big.bmp";
    decimalPointWidth_ = kDecimalPointSize;
    decimalPointHeight_ = kDecimalPointSize;
  }
  const std::int32_t lastIntegerLeft = Left + (integerCells - 1) * (Width + 1);
  decimalPoint_ = MakePart(ui::Rect{lastIntegerLeft + Width, Top + Height - kDecimalPointSize,
                                    decimalPointWidth_, decimalPointHeight_});
  decimalPoint_->LoadPicture(files_(decimalPointPath_));
  for (std::int32_t j = 0; j < DecimalCount; ++j) {
    digitCells_.push_back(MakePart(ui::Rect{
        lastIntegerLeft + Width + kDecimalPointSize + j * (Width + 1), Top, Width, Height}));
  }
}

void TImageTrackBar::SetDigitImages(const ui::ImageList& list) {
  digitImages_ = &list;
}

void TImageTrackBar::ShowValue(float value, bool negative, bool alternate) {
  if (!ShowDigit || digitCells_.empty()) return;
  if (digit_.isFloat) {
    for (std::int32_t i = 0; i < digit_.DecimalCount; ++i) value = value * 10.0f;
  }
  std::int64_t n = TruncWide(value);

  if (digit_.isAttr && sign_) {
    if (negative) {
      sign_->LoadPicture(alternate ? DigitFile("Skin\\a_attr_neg.bmp", "Skin\\a_attr_neg_big.bmp")
                                   : DigitFile("Skin\\attr_neg.bmp", "Skin\\attr_neg_big.bmp"));
    } else {
      sign_->LoadPicture(alternate ? DigitFile("Skin\\a_attr_pos.bmp", "Skin\\a_attr_pos_big.bmp")
                                   : DigitFile("Skin\\attr_pos.bmp", "Skin\\attr_pos_big.bmp"));
    }
  }

  const int cells = static_cast<int>(digitCells_.size());
  const int unitsPosition = cells - digit_.DecimalCount - 1;
  bool leadingZeros = true;
  for (int i = 0; i < cells; ++i) {
    const std::int64_t divisor = PowerOfTen(cells - 1 - i);
    const std::int64_t digit = n / divisor;
    n %= divisor;
    ui::Image& cell = *digitCells_[static_cast<std::size_t>(i)];
    const auto drawDigit = [&](std::int64_t d) {
      // A digit outside 0..9 (a value too large for its cells) draws nothing in its cell and
      // never reads outside the list.
      const bool inRange = d >= 0 && d <= 9;
      if (digitImages_ && inRange) {
        digitImages_->Draw(cell, static_cast<int>(d));
      } else {
        cell.Clear();
      }
    };
    if (digit != 0) {
      cell.Show();
      leadingZeros = false;
      drawDigit(digit);
    } else if (leadingZeros) {
      if (i == unitsPosition) {
        leadingZeros = false;
        drawDigit(0);
      } else {
        cell.LoadPicture(alternate ? DigitFile("Skin\\a_num_none.bmp", "Skin\\a_num_none_big.bmp")
                                   : DigitFile("Skin\\num_none.bmp", "Skin\\num_none_big.bmp"));
      }
    } else {
      drawDigit(0);
    }
  }
}

// ---- status bar ----

void TImageTrackBar::SetupStatusBar(std::int32_t Left, std::int32_t Top, std::int32_t Min,
                                    std::int32_t Max, std::int32_t Width, std::int32_t Height,
                                    std::int32_t Scale) {
  ShowSBar = true;
  statusBar_ = StatusBarGroup{
      static_cast<float>(Min), static_cast<float>(Max), Left, Top, Width, Height, Scale};
  gauge_->SetBounds(ui::Rect{Left, Top, Width, Height});
  SetBounds(ui::Rect{Left, Top, Width, Height});
}

void TImageTrackBar::SetStatusBarImages(const ui::ImageList& list) {
  gaugeImages_ = &list;
  list.Draw(*gauge_, gaugeIndex_);
}

void TImageTrackBar::SetStatusBarValue(std::int32_t value) {
  if (!ShowSBar) return;
  const float index = static_cast<float>(statusBar_.Scale) *
                      (static_cast<float>(value) - statusBar_.Min) /
                      (statusBar_.Max - statusBar_.Min);
  std::int32_t truncated = gaugeIndex_;
  if (index != static_cast<float>(gaugeIndex_)) {
    const int count = gaugeImages_ ? gaugeImages_->Count() : 0;
    float clamped = std::isnan(index) ? 0.0f : index;
    if (clamped < 0.0f) clamped = 0.0f;
    if (clamped >= static_cast<float>(count)) clamped = static_cast<float>(std::max(count - 1, 0));
    truncated = Trunc(clamped);
    if (gaugeImages_) gaugeImages_->Draw(*gauge_, truncated);
  }
  gaugeIndex_ = truncated;
}

// ---- position bar ----

void TImageTrackBar::SetPositionBarOrigin(std::int32_t Left, std::int32_t Top) {
  ShowPositionBar = true;
  positionBar_.Left = Left;
  positionBar_.Top = Top;
}

void TImageTrackBar::LoadMarker(const std::filesystem::path& path, std::int32_t Width,
                                std::int32_t Height) {
  positionBar_.Width = Width;
  positionBar_.Height = Height;
  marker_->SetBounds(ui::Rect{positionBar_.Left, positionBar_.Top, Width, Height});
  marker_->LoadPicture(path);
  marker_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent& e) { MarkerPressed(e); };
  marker_->OnMouseMove = [this](ui::Control&, const ui::MouseEvent& e) { MarkerMoved(e); };
  marker_->OnMouseUp = [this](ui::Control&, const ui::MouseEvent&) { MarkerReleased(); };
}

// ---- status rect ----

void TImageTrackBar::SetupStatusRect(std::int32_t Left, std::int32_t Top, std::int32_t Length,
                                     std::int32_t Caliper, float Min, float Max, ui::Color color) {
  ShowStatusRect = true;
  statusRect_ = StatusRectGroup{Left, Top, Caliper, Length, Min, Max};
  StatusRectColor = color;
}

ui::Rect TImageTrackBar::BarArea() const {
  const StatusRectGroup& r = statusRect_;
  return SBHorz ? ui::Rect::FromEdges(r.Left, r.Top, r.Left + r.Length, r.Top + r.Caliper)
                : ui::Rect::FromEdges(r.Left, r.Top, r.Left + r.Caliper, r.Top + r.Length);
}

void TImageTrackBar::SetPositionValue(float value) {
  overRange_ = false;
  value_ = value;
  const StatusRectGroup& r = statusRect_;
  float offset = 0.0f;
  if (value <= r.Min) {
    offset = 0.0f;
  } else if (value >= r.Max) {
    offset = static_cast<float>(r.Length);
  } else {
    offset = (value - r.Min) * static_cast<float>(r.Length) / (r.Max - r.Min);
  }

  if (SBHorz) {
    // Larger values lie to the right, as the drag maps them.
    if (ShowSBar || ShowStatusRect) {
      marker_->SetLeft(Trunc(static_cast<float>(positionBar_.Left) + offset));
    }
    return;
  }
  std::int32_t top = 0;
  if (ShowSBar) {
    top = Trunc(static_cast<float>(positionBar_.Top) - offset);
  } else if (ShowStatusRect) {
    top = Trunc(static_cast<float>(positionBar_.Top) - offset + kStatusRectMarkerDrop);
  } else {
    return;
  }
  if (r.Top >= top) top += marker_->Height();
  marker_->SetTop(top);
}

void TImageTrackBar::DrawStatusRect() {
  if (!ShowStatusRect) return;
  const StatusRectGroup& r = statusRect_;
  const ui::Rect area = BarArea();
  fill_->SetBounds(area);
  fill_->Clear();
  fill_->FillArea(area, ui::colors::kButtonFace);

  ui::Color color = StatusRectColor;
  ui::Rect band;
  if (!SBHorz && CenteredMode) {
    const float mid = (r.Max + r.Min) / 2.0f;
    const std::int32_t half = r.Length / 2;
    const float distance =
        std::fabs(value_ - mid) * static_cast<float>(r.Length) / (2.0f * (r.Max - mid));
    // On a range of no width the middle itself is 0 away and any other value past the end.
    std::int64_t extent = std::isnan(distance) ? 0 : Trunc(distance);
    overRange_ = half < extent;
    if (overRange_) {
      color = ui::colors::kPureRed;
      extent = half;
    }
    band =
        ui::Rect::FromEdges(r.Left, r.Top + half - static_cast<std::int32_t>(extent),
                            r.Left + r.Caliper, r.Top + half + static_cast<std::int32_t>(extent));
  } else {
    std::int64_t extent = std::llabs(static_cast<long long>(
        Trunc((value_ - r.Min) * static_cast<float>(r.Length) / (r.Max - r.Min))));
    overRange_ = r.Length < extent;
    if (overRange_) {
      color = ui::colors::kPureRed;
      extent = r.Length;
    }
    if (BelowRangeAlarms && value_ < r.Min) {
      overRange_ = true;
      color = ui::colors::kPureRed;
      extent = 0;
    }
    const auto e = static_cast<std::int32_t>(extent);
    band = SBHorz ? ui::Rect::FromEdges(r.Left, r.Top, r.Left + e, r.Top + r.Caliper)
                  : ui::Rect::FromEdges(r.Left, r.Top + r.Length - e, r.Left + r.Caliper,
                                        r.Top + r.Length);
  }
  fill_->FillArea(band, color);
  lastBand_ = band;
}

// ---- moving and showing ----

void TImageTrackBar::ShiftVertically(std::int32_t offset) {
  digit_.Top += offset;
  for (const auto& cell : digitCells_) cell->SetTop(cell->Top() + offset);
  if (digit_.isFloat && decimalPoint_) decimalPoint_->SetTop(decimalPoint_->Top() + offset);
  if (sign_) sign_->SetTop(sign_->Top() + offset);
  if (ShowSBar) {
    statusBar_.Top += offset;
    gauge_->SetTop(gauge_->Top() + offset);
  }
  if (ShowPositionBar) {
    // The marker moves with everything else: a roll down and back up returns it exactly.
    positionBar_.Top += offset;
    marker_->SetTop(marker_->Top() + offset);
  }
  if (ShowStatusRect) {
    statusRect_.Top += offset;
    fill_->SetTop(fill_->Top() + offset);
  }
}

void TImageTrackBar::SetPartsVisible(bool visible) {
  SetVisible(visible);
  for (const auto& cell : digitCells_) cell->SetVisible(visible);
  if (digit_.isFloat && decimalPoint_) decimalPoint_->SetVisible(visible);
  if (sign_ && sign_->Top() + sign_->Height() >= Top()) sign_->SetVisible(visible);
  if (ShowSBar) gauge_->SetVisible(visible);
  if (ShowPositionBar) marker_->SetVisible(visible);
  // The status rect is part of the retained scene, so it hides and shows with the display.
  fill_->SetVisible(visible);
}

// ---- marker drag ----

float TImageTrackBar::ShownTemperature(float celsius) const {
  return TempUnitCode == kCelsiusUnitCode ? celsius : celsius * 9.0f / 5.0f + 32.0f;
}

void TImageTrackBar::MarkerPressed(const ui::MouseEvent& event) {
  dragging_ = true;
  pressX_ = event.pos.x;
  pressY_ = event.pos.y;
}

void TImageTrackBar::MarkerMoved(const ui::MouseEvent& event) {
  // A drag whose release never came (the marker was hidden meanwhile) does not follow a
  // pointer that holds no button.
  if (!dragging_ || event.held == 0) return;
  if (SBHorz) {
    DragHorizontally(event);
  } else {
    DragVertically(event);
  }
}

void TImageTrackBar::DragVertically(const ui::MouseEvent& event) {
  std::int32_t low = 0, high = 0;
  if (ShowSBar) {
    low = statusBar_.Top;
    high = statusBar_.Top + statusBar_.Height;
  } else if (ShowStatusRect) {
    low = statusRect_.Top;
    high = statusRect_.Top + statusRect_.Length;
  } else {
    low = statusBar_.Top;
    high = statusBar_.Top + statusBar_.Height;
  }
  const std::int32_t wanted = marker_->Top() + (event.pos.y - pressY_);
  // Past a limit the marker is pinned at the nearer one.
  marker_->SetTop(wanted < low ? low : (wanted > high ? high : wanted));
  const std::int32_t markerTop = marker_->Top();

  if (ShowStatusRect) {
    // The bar shows the value before this step: it trails the marker by one step.
    DrawStatusRect();
    const StatusRectGroup& r = statusRect_;
    const float value = r.Length == 0 ? r.Min
                                      : r.Min + static_cast<float>(r.Top + r.Length - markerTop) *
                                                    (r.Max - r.Min) / static_cast<float>(r.Length);
    value_ = value;
    if (ShowDigit) {
      if (CenteredMode) {
        const float mid = (r.Max + r.Min) / 2.0f;
        const float ratio = std::fabs(value - mid) / mid;
        const double scale = std::pow(10.0, kRatioDecimals);
        const auto rounded =
            static_cast<float>(std::floor(static_cast<double>(ratio) * scale + 0.5) / scale);
        ShowValue(rounded * 100.0f, value < mid, true);
      } else {
        ShowValue(ShownTemperature(value), false, digit_.AltDigitSet);
      }
      return;
    }
  }
  if (!ShowPositionBar) return;
  const StatusBarGroup& b = statusBar_;
  const float value = b.Height == 0 ? b.Min
                                    : b.Min + static_cast<float>(positionBar_.Top - markerTop) *
                                                  (b.Max - b.Min) / static_cast<float>(b.Height);
  value_ = value;
  if (OneDecimalTarget) OneDecimalTarget->SetText(core::FixedText(ShownTemperature(value), 1));
  FinishValueStep(value);
}

void TImageTrackBar::DragHorizontally(const ui::MouseEvent& event) {
  std::int32_t low = 0, high = 0;
  if (ShowSBar) {
    low = statusBar_.Left;
    high = statusBar_.Left + statusBar_.Width;
  } else if (ShowStatusRect) {
    low = statusRect_.Left;
    high = statusRect_.Left + statusRect_.Length;
  } else {
    low = statusBar_.Left;
    high = statusBar_.Left + statusBar_.Width;
  }
  const std::int32_t wanted = marker_->Left() + (event.pos.x - pressX_);
  // Past a limit nothing moves.
  if (wanted < low || wanted > high) return;
  marker_->SetLeft(wanted);

  if (ShowStatusRect) {
    DrawStatusRect();
    return;
  }
  const StatusBarGroup& b = statusBar_;
  const float value = b.Width == 0 ? b.Min
                                   : b.Min + static_cast<float>(wanted - positionBar_.Left) *
                                                 (b.Max - b.Min) / static_cast<float>(b.Width);
  if (OneDecimalTarget) OneDecimalTarget->SetText(core::FixedText(ShownTemperature(value), 1));
  FinishValueStep(value);
}

void TImageTrackBar::FinishValueStep(float value) {
  // Whole numbers are truncated, as the pages write them, so what is shown is what is sent.
  if (WholeNumberTarget) {
    WholeNumberTarget->SetText(core::FixedText(std::trunc(ShownTemperature(value)), 0));
  }
  if (NotifyWindow) NotifyWindow.Post(ui::Message{kMarkerDragMessage, 0, 0});
}

void TImageTrackBar::MarkerReleased() {
  if (!dragging_) return;
  dragging_ = false;
  ui::Window* owner = Owner();
  if (owner && OnCommit) {
    const auto commit = OnCommit;
    commit(*owner);
  }
}

}  // namespace skin
