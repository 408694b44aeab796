#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/color.h"
#include "platform/ui/image.h"
#include "platform/ui/window_handle.h"
#include "skin/file_resolver.h"

namespace ui {
class Edit;
class ImageList;
class SolidFill;
}  // namespace ui

namespace skin {

// The display of the skinned windows. One instance shows a reading in up to four ways, each
// switched on separately: a row of bitmap digits (with decimal point and sign), a gauge
// picture chosen by the value, a solid bar (the status rect) and a draggable marker with which
// the user sets a value. Every part is an image of the owning window at window client
// coordinates; the control itself is an invisible image holding the state.
class TImageTrackBar : public ui::Image {
 public:
  // Posted to NotifyWindow (both parameters 0) after each drag step that set a value.
  static constexpr std::uint32_t kMarkerDragMessage = 2025;
  // TempUnitCode of Celsius: dragged temperatures are shown as they are.
  static constexpr std::int32_t kCelsiusUnitCode = 301;
  // The most digit cells one display makes (a 64-bit value has 19 digits).
  static constexpr std::int32_t kMaxDigitCount = 18;

  struct DigitGroup {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0, Count = 0;
    bool isFloat = false;
    std::int32_t DecimalCount = 0;
    bool isAttr = false;
    bool AltDigitSet = false;
  };
  struct StatusBarGroup {
    float Min = 0.0f, Max = 0.0f;
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0, Scale = 0;
  };
  struct PositionBarGroup {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  };
  struct StatusRectGroup {
    std::int32_t Left = 0, Top = 0, Caliper = 0, Length = 0;
    float Min = 0.0f, Max = 0.0f;
  };

  // Creates the status-rect fill, the gauge image and the marker image on the window.
  // `files` resolves the fixed digit pictures ("Skin\dot.bmp", ...) against the program folder.
  TImageTrackBar(ui::Window& owner, FileResolver files);
  ~TImageTrackBar() override;

  // Published properties.
  bool SBHorz = false;
  bool ShowDigit = true;
  bool ShowSBar = false;
  bool ShowPositionBar = false;
  bool ShowStatusRect = false;
  ui::Color StatusRectColor = ui::colors::kButtonFace;

  // Set by the owner before use.
  ui::WindowHandle NotifyWindow;                 // receives message 2025; empty for none
  ui::Edit* OneDecimalTarget = nullptr;          // shows a dragged value with 1 decimal
  ui::Edit* WholeNumberTarget = nullptr;         // shows a dragged value with 0 decimals
  std::int32_t TempUnitCode = kCelsiusUnitCode;  // not 301: dragged values shown in Fahrenheit
  bool CenteredMode = false;                     // the bar shows the distance from the middle
  // A value below the status rect's Min is out of range like one past Max: the bar is drawn
  // empty in the alarm colour and OverRange is set. Off, the distance below Min fills the bar
  // as a value that far above Min would.
  bool BelowRangeAlarms = false;
  std::function<void(ui::Window&)> OnCommit;  // called with the owning window when a drag ends

  void SetupDigits(std::int32_t Left, std::int32_t Top, std::int32_t Count, std::int32_t Width,
                   std::int32_t Height, bool isFloat, std::int32_t DecimalCount, bool isAttr,
                   bool AltDigitSet);
  // The ten digit pictures (index = digit); not owned, must outlive the display's use of it.
  void SetDigitImages(const ui::ImageList& list);
  // Renders a non-negative value into the digit cells; the sign comes through `negative`.
  void ShowValue(float value, bool negative, bool alternate);

  void SetupStatusBar(std::int32_t Left, std::int32_t Top, std::int32_t Min, std::int32_t Max,
                      std::int32_t Width, std::int32_t Height, std::int32_t Scale);
  void SetStatusBarImages(const ui::ImageList& list);
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
  bool Dragging() const { return dragging_; }
  std::int32_t GaugeIndex() const { return gaugeIndex_; }
  // The band last painted by DrawStatusRect.
  const ui::Rect& LastBand() const { return lastBand_; }

  const DigitGroup& Digits() const { return digit_; }
  const StatusBarGroup& StatusBar() const { return statusBar_; }
  // Replaces the status-bar values (range, drag limits) without placing or showing anything.
  void SetStatusBarGroup(const StatusBarGroup& group) { statusBar_ = group; }
  const PositionBarGroup& PositionBar() const { return positionBar_; }
  const StatusRectGroup& StatusRect() const { return statusRect_; }
  // Replaces the status-rect values (range) without painting.
  void SetStatusRectGroup(const StatusRectGroup& group) { statusRect_ = group; }

  // The parts, for the owner's page groups and for inspection.
  const std::vector<std::unique_ptr<ui::Image>>& DigitCells() const { return digitCells_; }
  ui::Image* DecimalPointImage() const { return decimalPoint_.get(); }
  ui::Image* SignImage() const { return sign_.get(); }
  ui::Image& GaugeImage() const { return *gauge_; }
  ui::Image& MarkerImage() const { return *marker_; }
  ui::SolidFill& StatusRectFill() const { return *fill_; }

 private:
  std::filesystem::path DigitFile(const char* small, const char* big) const;
  std::unique_ptr<ui::Image> MakePart(const ui::Rect& bounds);
  ui::Rect BarArea() const;
  float ShownTemperature(float celsius) const;

  void MarkerPressed(const ui::MouseEvent& event);
  void MarkerMoved(const ui::MouseEvent& event);
  void MarkerReleased();
  void DragVertically(const ui::MouseEvent& event);
  void DragHorizontally(const ui::MouseEvent& event);
  void FinishValueStep(float value);

  FileResolver files_;
  float value_ = 0.0f;

  DigitGroup digit_;
  std::string decimalPointPath_;
  std::int32_t decimalPointWidth_ = 0, decimalPointHeight_ = 0;
  std::vector<std::unique_ptr<ui::Image>> digitCells_;
  const ui::ImageList* digitImages_ = nullptr;

  StatusBarGroup statusBar_;
  std::int32_t gaugeIndex_ = 0;
  const ui::ImageList* gaugeImages_ = nullptr;

  PositionBarGroup positionBar_;
  bool dragging_ = false;
  bool overRange_ = false;
  std::int32_t pressX_ = 0, pressY_ = 0;
  ui::Rect lastBand_;

  StatusRectGroup statusRect_;

  // Parts, in the window's drawing order: the bar under the gauge under the marker; digits,
  // sign and point come later, on top.
  std::unique_ptr<ui::SolidFill> fill_;
  std::unique_ptr<ui::Image> gauge_;
  std::unique_ptr<ui::Image> marker_;
  std::unique_ptr<ui::Image> sign_;
  std::unique_ptr<ui::Image> decimalPoint_;
};

}  // namespace skin
