#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/temp_unit.h"
#include "platform/ui/color.h"
#include "platform/ui/image.h"
#include "skin/digit_row.h"
#include "skin/file_resolver.h"
#include "skin/status_rect_bar.h"
#include "skin/track_bar_layouts.h"
#include "skin/track_gauge.h"
#include "skin/track_marker.h"

namespace ui {
class Edit;
class ImageList;
class SolidFill;
}  // namespace ui

namespace skin {

// Where a dragged value is written as text: an edit of the owner's, or nowhere.
class TextTarget {
 public:
  TextTarget() = default;
  TextTarget(ui::Edit* edit);  // NOLINT(google-explicit-constructor): set like a field
  explicit TextTarget(std::function<void(const std::string&)> write) : write_(std::move(write)) {}
  explicit operator bool() const { return static_cast<bool>(write_); }
  void Write(const std::string& text) const {
    if (write_) write_(text);
  }

 private:
  std::function<void(const std::string&)> write_;
};

// The display of the skinned windows. One instance shows a reading in up to four ways, each
// switched on separately: a row of bitmap digits (with decimal point and sign), a gauge
// picture chosen by the value, a solid bar (the status rect) and a draggable marker with which
// the user sets a value. Every part is an image of the owning window at window client
// coordinates; the control itself is an invisible image holding the state.
class TImageTrackBar : public ui::Image {
 public:
  static constexpr std::int32_t kMaxDigitCount = DigitRow::kMaxDigitCount;

  using DigitGroup = skin::DigitGroup;
  using StatusBarGroup = skin::StatusBarGroup;
  using PositionBarGroup = skin::PositionBarGroup;
  using StatusRectGroup = skin::StatusRectGroup;

  // Creates the status-rect fill, the gauge image and the marker image on the window.
  // `files` resolves the fixed digit pictures ("Skin\dot.bmp", ...) against the program folder.
  TImageTrackBar(ui::Window& owner, FileResolver files);
  ~TImageTrackBar() override;

  // Published properties: which parts take part.
  bool SBHorz = false;
  bool ShowDigit = true;
  bool ShowSBar = false;
  bool ShowPositionBar = false;
  bool ShowStatusRect = false;
  ui::Color StatusRectColor = ui::colors::kButtonFace;

  // Set by the owner before use.
  // Told the value (in the bar's own unit) after each drag step that set one; the owner
  // decides what a step means (the fan-speed page takes it and posts its window's message).
  std::function<void(float value)> OnValueStep;
  TextTarget OneDecimalTarget;                             // shows a dragged value with 1 decimal
  TextTarget WholeNumberTarget;                            // shows a dragged value with 0 decimals
  core::TempUnit TempUnitCode = core::TempUnit::kCelsius;  // Fahrenheit: dragged values converted
  bool CenteredMode = false;  // the bar shows the distance from the middle
  // A value below the status rect's Min is out of range like one past Max: the bar is drawn
  // empty in the alarm colour and OverRange is set. Off, the distance below Min fills the bar
  // as a value that far above Min would.
  bool BelowRangeAlarms = false;
  std::function<void(ui::Window&)> OnCommit;  // called with the owning window when a drag ends

  void SetupDigits(const DigitGroup& layout);
  void SetupDigits(std::int32_t Left, std::int32_t Top, std::int32_t Count, std::int32_t Width,
                   std::int32_t Height, bool isFloat, std::int32_t DecimalCount, bool isAttr,
                   bool AltDigitSet);
  // The ten digit pictures (index = digit); not owned, must outlive the display's use of it.
  void SetDigitImages(const ui::ImageList& list) { digits_.SetImages(list); }
  // Renders a non-negative value into the digit cells; the sign comes through `negative`.
  void ShowValue(float value, bool negative, bool alternate);

  void SetupStatusBar(std::int32_t Left, std::int32_t Top, std::int32_t Min, std::int32_t Max,
                      std::int32_t Width, std::int32_t Height, std::int32_t Scale);
  void SetStatusBarImages(const ui::ImageList& list) { gauge_.SetImages(list); }
  void SetStatusBarValue(std::int32_t value);

  void SetPositionBarOrigin(std::int32_t Left, std::int32_t Top);
  // Places and sizes the marker, loads its picture (FileError when it cannot) and hooks its
  // press, move and release to the drag.
  void LoadMarker(const std::filesystem::path& path, std::int32_t Width, std::int32_t Height);

  void SetupStatusRect(std::int32_t Left, std::int32_t Top, std::int32_t Length,
                       std::int32_t Caliper, float Min, float Max, ui::Color color);
  void SetPositionValue(float value);
  void DrawStatusRect();

  void ShiftVertically(std::int32_t offset);
  void SetPartsVisible(bool visible);

  // State the owner reads or sets directly.
  float Value() const { return value_; }
  void SetValue(float value) { value_ = value; }  // stores only; nothing moves or redraws
  bool OverRange() const { return overRange_; }
  bool Dragging() const { return marker_.Dragging(); }
  std::int32_t GaugeIndex() const { return gauge_.Index(); }
  // The band last painted by DrawStatusRect.
  const ui::Rect& LastBand() const { return lastBand_; }

  const DigitGroup& Digits() const { return digits_.Layout(); }
  const StatusBarGroup& StatusBar() const { return gauge_.Layout(); }
  // Replaces the status-bar values (range, drag limits) without placing or showing anything.
  void SetStatusBarGroup(const StatusBarGroup& group) { gauge_.SetLayout(group); }
  const PositionBarGroup& PositionBar() const { return marker_.Layout(); }
  const StatusRectGroup& StatusRect() const { return statusRect_.Layout(); }
  // Replaces the status-rect values (range) without painting.
  void SetStatusRectGroup(const StatusRectGroup& group) { statusRect_.SetLayout(group); }

  // The parts, for the owner's page groups and for inspection.
  const std::vector<std::unique_ptr<ui::Image>>& DigitCells() const { return digits_.Cells(); }
  ui::Image* DecimalPointImage() const { return digits_.DecimalPoint(); }
  ui::Image* SignImage() const { return digits_.Sign(); }
  ui::Image& GaugeImage() const { return gauge_.Picture(); }
  ui::Image& MarkerImage() const { return marker_.Picture(); }
  ui::SolidFill& StatusRectFill() const { return statusRect_.Fill(); }

 private:
  float ShownTemperature(float celsius) const;
  void MarkerMoved(const ui::MouseEvent& event);
  // The drag limits along the marker's axis: the gauge's span, else the status rect's.
  std::pair<std::int32_t, std::int32_t> DragLimits() const;
  void ShowDraggedOnDigits(float value);
  void FinishValueStep(float value);

  float value_ = 0.0f;
  bool overRange_ = false;
  ui::Rect lastBand_;

  // Parts, in the window's drawing order: the bar under the gauge under the marker; digits,
  // sign and point come later, on top.
  StatusRectBar statusRect_;
  TrackGauge gauge_;
  TrackMarker marker_;
  DigitRow digits_;
};

}  // namespace skin
