#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/command_requests.h"
#include "pages/fan_curve.h"
#include "pages/page_codes.h"
#include "pages/sub_page_controls.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/drawing_area.h"
#include "platform/ui/edit.h"
#include "settings/fan_settings.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"
#include "skin/page_records.h"

namespace ui {
class Dialogs;
class Window;
}  // namespace ui

namespace pages {

// The fan-speed sub-page of the configuration page: which fan, its mode, and in mode Manual
// the curve of start voltage and rising temperature, dragged in LabelCurve, with the two
// markers, or typed into the two edits. Changes only the in-memory settings and the curve value
// it is given, which its owner keeps; the owner sends and saves on OK. UI thread only.
class FanSpeedPage {
 public:
  // What the page asks of the configuration page and the window.
  struct Hooks {
    // Whether the configuration page is the current page and the fan sub-page is selected.
    std::function<bool()> FanSubPageActive;
    // Whether the voltage sub-page is selected (a redraw then stores the trim targets).
    std::function<bool()> VoltageSubPageActive;
    std::function<void()> StoreVoltageTargets;
    // Loads the page picture of the selected sub-page and unit into ImgConfig.
    std::function<void()> LoadBackground;
    // The extras (edits, sensor list, curve) were shown or hidden.
    std::function<void(bool shown)> ExtrasShown;
  };

  // `values` is the curve being edited: drags and typing write it, OK reads it, the edits and
  // the drawing only show it. It must outlive the page.
  FanSpeedPage(ui::Window& window, skin::FileResolver files, settings::FanSettings& fan,
               settings::FanMode& currentFanMode, fan_curve::CurveValues& values,
               ui::Dialogs& dialogs, Hooks hooks);
  ~FanSpeedPage();
  FanSpeedPage(const FanSpeedPage&) = delete;
  FanSpeedPage& operator=(const FanSpeedPage&) = delete;

  // Builds the buttons and the two markers from the configuration page's records; everything
  // starts hidden, at its design place.
  void Build(const skin::PageRecords& records);

  void RefreshFanPage(bool show);
  void DrawFanCurve(float volts, float celsius);

  // Click actions.
  void SelectMode(settings::FanMode mode);
  void SelectFan(FanSelector fan);
  void SelectUnit(core::TempUnit unit);
  // The fan-curve apply message (a marker drag step posts it): the page takes its edits (a
  // text typed since the page last wrote it is read; one the page wrote stands for its value)
  // and draws and stores the curve.
  void ApplyFanCurve();
  // The same, and the window is redrawn: after an edit check, on leaving an edit and on OK.
  void TakeEdits();
  // The end of a marker drag: in mode Manual the curve is stored.
  void StoreManualCurve();

  // The edit check of one edit, as entering the other one runs it: false when its text was
  // refused (the message is shown and the text put back). Nothing else: the caller takes the
  // edits once the checks are done. `startVolts` picks EditStartVol, else EditRisingTemp.
  bool CheckEdit(bool startVolts);
  // OK's own check of the values; the message to show when they are refused.
  std::optional<std::string> ValidationFailure() const;
  // Requests the fan curve of the selected fan with the page's values; whether it was accepted.
  bool RequestFanCurve(device::CommandRequests& requests) const;

  core::TempUnit ConfigTempUnit() const { return configTempUnit_; }
  settings::FanMode CurrentFanMode() const { return currentFanMode_; }
  fan_curve::CurveValues FanPageValues() const { return values_; }
  const ui::Point& CurveKnee() const { return curveKnee_; }
  bool CurveDragging() const { return curveDragging_; }

  ui::Edit& EditStartVol() const { return *editStartVol_; }
  ui::Edit& EditRisingTemp() const { return *editRisingTemp_; }
  ui::ComboBox& CBTempSensor() const { return *cbTempSensor_; }
  ui::DrawingArea& LabelCurve() const { return *labelCurve_; }
  // Null until built.
  skin::TImageTrackBar* FSVol() const { return fsVol_.get(); }
  skin::TImageTrackBar* FSTemp() const { return fsTemp_.get(); }
  // The button of a mode, fan or unit; null when none.
  skin::TImageLabel* ButtonOf(settings::FanMode mode) const { return ButtonOfCode(Code(mode)); }
  skin::TImageLabel* ButtonOf(FanSelector fan) const { return ButtonOfCode(Code(fan)); }
  skin::TImageLabel* ButtonOf(core::TempUnit unit) const { return ButtonOfCode(Code(unit)); }

  // The sub-page's buttons and markers, which roll with the page, and its extras (edits,
  // sensor list, curve), which show only while it is fully out.
  SubPageControls& Controls() { return controls_; }

 private:
  struct Selectable {
    std::unique_ptr<skin::TImageLabel> button;
    std::filesystem::path leave;
    std::filesystem::path click;
  };

  // The buttons are kept by the number of their mode, fan or unit (the three sets differ).
  template <typename Enum>
  static std::int32_t Code(Enum value) {
    return static_cast<std::int32_t>(value);
  }
  skin::TImageLabel* ButtonOfCode(std::int32_t code) const;
  void AddButton(std::int32_t code, const skin::PageRecords& records, std::string_view key);
  std::unique_ptr<skin::TImageTrackBar> AddMarker(const skin::PageRecords& records,
                                                  std::string_view key);
  void ShowSelected(std::int32_t code, bool selected);
  void SetCurveControlsEnabled(bool enabled);
  // The selected fan's mode in the settings.
  settings::FanMode& SelectedFanMode();
  // The manual curve of the selected fan; null for a sensor outside 0 .. 4.
  settings::FanPreset* SelectedManualCurve();
  // The sensor the selected fan's curve follows: the PSU's own for the PSU fan.
  std::int32_t CurveSensor() const;
  const settings::FanPreset* SelectedPreset(settings::FanMode mode) const;
  void WriteEdits();
  void ApplyEditTexts();
  // A marker step: the value is the page's at once, its edit shows it, the window is told.
  void VoltsDragged(float volts);
  void CelsiusDragged(float celsius);
  void PostFanCurveApply();
  void PutBack(bool startVolts);
  void DrawClamped();

  void CurveMouseDown();
  void CurveMouseMove(const ui::MouseEvent& event);

  ui::Window& window_;
  skin::FileResolver files_;
  settings::FanSettings& fan_;
  settings::FanMode& currentFanMode_;
  fan_curve::CurveValues& values_;
  ui::Dialogs& dialogs_;
  Hooks hooks_;

  FanSelector fanSelector_ = FanSelector::kPsu;
  core::TempUnit configTempUnit_ = core::TempUnit::kCelsius;
  // The codes whose buttons show the selected look; 0 for none.
  std::int32_t shownUnit_ = 0;
  std::int32_t shownFan_ = 0;
  std::int32_t shownMode_ = 0;
  struct {
    std::string vol;
    std::string temp;
  } presetTexts_;
  ui::Point curveKnee_;
  bool curveDragging_ = false;

  std::map<std::int32_t, Selectable> buttons_;
  std::unique_ptr<skin::TImageTrackBar> fsVol_;
  std::unique_ptr<skin::TImageTrackBar> fsTemp_;
  std::unique_ptr<ui::Edit> editStartVol_;
  std::unique_ptr<ui::Edit> editRisingTemp_;
  std::unique_ptr<ui::ComboBox> cbTempSensor_;
  std::unique_ptr<ui::DrawingArea> labelCurve_;

  SubPageControls controls_;
  // A button and its design top: how far the roll has moved the page's buttons and markers.
  ui::Control* rollAnchor_ = nullptr;
  std::int32_t anchorDesignTop_ = 0;
};

}  // namespace pages
