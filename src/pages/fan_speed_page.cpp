#include "pages/fan_speed_page.h"

#include <cmath>
#include <utility>

#include "core/numbers.h"
#include "core/window_message_codes.h"
#include "device/conversions.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/window.h"
#include "skin/default_skin_places.h"

namespace pages {
namespace {

namespace fc = fan_curve;

constexpr const char* kSensorItems[] = {"TS_PSU", "T1", "T2", "T3", "T4"};
// LabelCurve's background, a desktop colour value (blue, green, red from the high byte down).
constexpr std::uint32_t kCurveBackground = 0xC0DCC0;
constexpr ui::Color kCurvePen = ui::colors::kPureRed;
constexpr int kKneeMarkHalf = 3;

// The drag limits and value mapping of the two markers.
constexpr std::int32_t kStartVoltsBarTop = 403;
constexpr std::int32_t kRisingTempBarLeft = 387;

struct ButtonKey {
  std::int32_t code;
  const char* key;
};
constexpr ButtonKey kButtons[] = {
    {static_cast<std::int32_t>(settings::FanMode::kPerformance), "ModePerform"},
    {static_cast<std::int32_t>(settings::FanMode::kNormal), "ModeNormal"},
    {static_cast<std::int32_t>(settings::FanMode::kSilent), "ModeSilence"},
    {static_cast<std::int32_t>(settings::FanMode::kManual), "ModeManual"},
    {static_cast<std::int32_t>(FanSelector::kPsu), "PSUFan"},
    {static_cast<std::int32_t>(FanSelector::kSystem), "SystemFan"},
    {static_cast<std::int32_t>(core::TempUnit::kCelsius), "Celsius"},
    {static_cast<std::int32_t>(core::TempUnit::kFahrenheit), "Fahrenheit"},
};

bool IsMode(std::int32_t code) {
  return code >= static_cast<std::int32_t>(settings::FanMode::kPerformance) &&
         code <= static_cast<std::int32_t>(settings::FanMode::kManual);
}

bool IsMode(settings::FanMode mode) {
  return IsMode(static_cast<std::int32_t>(mode));
}

bool IsFan(std::int32_t code) {
  return code == static_cast<std::int32_t>(FanSelector::kPsu) ||
         code == static_cast<std::int32_t>(FanSelector::kSystem);
}

}  // namespace

FanSpeedPage::FanSpeedPage(ui::Window& window, skin::FileResolver files, settings::FanSettings& fan,
                           settings::FanMode& currentFanMode, fan_curve::CurveValues& values,
                           ui::Dialogs& dialogs, Hooks hooks)
    : window_(window),
      files_(std::move(files)),
      fan_(fan),
      currentFanMode_(currentFanMode),
      values_(values),
      dialogs_(dialogs),
      hooks_(std::move(hooks)) {
  editStartVol_ = std::make_unique<ui::Edit>(window, RectOf(skin::places::kEditStartVol));
  editRisingTemp_ = std::make_unique<ui::Edit>(window, RectOf(skin::places::kEditRisingTemp));
  cbTempSensor_ = std::make_unique<ui::ComboBox>(window, RectOf(skin::places::kCBTempSensor));
  labelCurve_ = std::make_unique<ui::DrawingArea>(window, RectOf(skin::places::kLabelCurve),
                                                  ui::Color::FromBgr(kCurveBackground));
  cbTempSensor_->SetItems(
      std::vector<std::string>(std::begin(kSensorItems), std::end(kSensorItems)));
  controls_.Extras().Add(
      {editStartVol_.get(), editRisingTemp_.get(), cbTempSensor_.get(), labelCurve_.get()});
  controls_.Extras().Hide();

  // Entering one edit checks the other, then the page takes what the edits hold.
  editRisingTemp_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent&) {
    CheckEdit(true);
    TakeEdits();
  };
  editStartVol_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent&) {
    CheckEdit(false);
    TakeEdits();
  };
  // Only the user's pick runs this; the page's own selections do not.
  cbTempSensor_->OnChange = [this](ui::ComboBox& box) {
    fan_.SystemFanSensor = box.ItemIndex();
    RefreshFanPage(true);
    editRisingTemp_->SetText(fc::WholeText(fc::InPageUnit(values_.celsius, configTempUnit_)));
    DrawClamped();
  };
  labelCurve_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent&) { CurveMouseDown(); };
  labelCurve_->OnMouseMove = [this](ui::Control&, const ui::MouseEvent& e) { CurveMouseMove(e); };
  labelCurve_->OnMouseUp = [this](ui::Control&, const ui::MouseEvent&) { curveDragging_ = false; };
}

FanSpeedPage::~FanSpeedPage() = default;

void FanSpeedPage::Build(const skin::PageRecords& records) {
  for (const ButtonKey& b : kButtons) AddButton(b.code, records, b.key);
  fsVol_ = AddMarker(records, "FSVol");
  fsTemp_ = AddMarker(records, "FSTemp");

  fsVol_->SetStatusBarGroup(skin::TImageTrackBar::StatusBarGroup{
      fc::kMinVolts, fc::kMaxVolts, fsVol_->StatusBar().Left, kStartVoltsBarTop,
      fsVol_->StatusBar().Width, fc::kDrawnHeight, 0});
  fsVol_->OnValueStep = [this](float volts) { VoltsDragged(volts); };

  fsTemp_->SBHorz = true;
  fsTemp_->SetStatusBarGroup(skin::TImageTrackBar::StatusBarGroup{
      fc::kMinCelsius, fc::kMaxCelsius, kRisingTempBarLeft, fsTemp_->StatusBar().Top,
      fc::kDrawnWidth, fsTemp_->StatusBar().Height, 0});
  fsTemp_->OnValueStep = [this](float celsius) { CelsiusDragged(celsius); };
}

void FanSpeedPage::AddButton(std::int32_t code, const skin::PageRecords& records,
                             std::string_view key) {
  const skin::ButtonRecord* record = records.Button(key);
  const skin::ButtonRecord empty;
  const skin::ButtonRecord& use = record ? *record : empty;
  Selectable s;
  const auto fileOf = [&](std::size_t index) -> std::filesystem::path {
    if (index >= use.bitmaps.size() || use.bitmaps[index].empty()) return {};
    try {
      return files_(use.bitmaps[index]);
    } catch (const std::exception&) {
      return {};  // a refused path loads nothing, as for the button itself
    }
  };
  s.leave = fileOf(skin::kLeaveBmp);
  s.click = fileOf(skin::kClickBmp);
  std::function<void()> action;
  if (IsMode(code)) {
    action = [this, code] { SelectMode(static_cast<settings::FanMode>(code)); };
  } else if (IsFan(code)) {
    action = [this, code] { SelectFan(static_cast<FanSelector>(code)); };
  } else {
    action = [this, code] { SelectUnit(static_cast<core::TempUnit>(code)); };
  }
  s.button = skin::BuildImageLabel(window_, use.rect, use.bitmaps, files_,
                                   [action = std::move(action)](skin::TImageLabel&) { action(); });
  s.button->SetBtnAction(std::string(key));
  s.button->Hide();
  if (!rollAnchor_) {
    rollAnchor_ = s.button.get();
    anchorDesignTop_ = use.rect.Top;
  }
  controls_.Controls().Add(s.button.get());
  buttons_.emplace(code, std::move(s));
}

std::unique_ptr<skin::TImageTrackBar> FanSpeedPage::AddMarker(const skin::PageRecords& records,
                                                              std::string_view key) {
  auto display = std::make_unique<skin::TImageTrackBar>(window_, files_);
  display->ShowDigit = false;
  display->ShowPositionBar = true;
  if (const skin::DisplayLayout* layout = records.Display(key); layout && layout->ShowPosBar) {
    const auto& p = layout->posBar;
    display->SetPositionBarOrigin(p.Left, p.Top);
    display->LoadMarker(files_(p.Path), p.Width, p.Height);
  }
  display->Hide();
  display->MarkerImage().Hide();
  controls_.Controls().Add(&display->MarkerImage());
  return display;
}

skin::TImageLabel* FanSpeedPage::ButtonOfCode(std::int32_t code) const {
  const auto it = buttons_.find(code);
  return it == buttons_.end() ? nullptr : it->second.button.get();
}

void FanSpeedPage::ShowSelected(std::int32_t code, bool selected) {
  const auto it = buttons_.find(code);
  if (it == buttons_.end()) return;
  Selectable& s = it->second;
  s.button->LoadLeaveBitmap(selected ? s.click : s.leave);
  s.button->Repaint();
}

void FanSpeedPage::SetCurveControlsEnabled(bool enabled) {
  if (fsVol_) fsVol_->MarkerImage().SetEnabled(enabled);
  if (fsTemp_) fsTemp_->MarkerImage().SetEnabled(enabled);
  editStartVol_->SetEnabled(enabled);
  editRisingTemp_->SetEnabled(enabled);
}

settings::FanMode& FanSpeedPage::SelectedFanMode() {
  return fanSelector_ == FanSelector::kSystem ? fan_.SystemFanMode : fan_.PSUFanMode;
}

settings::FanPreset* FanSpeedPage::SelectedManualCurve() {
  if (fanSelector_ != FanSelector::kSystem) return &fan_.PSUFanPresets[settings::kPsuManual];
  const std::int32_t sensor = fan_.SystemFanSensor;
  if (sensor < settings::kSensorPSU || sensor > settings::kSensorT4) return nullptr;
  return &fan_.SystemFanPresets[static_cast<std::size_t>(sensor)];
}

const settings::FanPreset* FanSpeedPage::SelectedPreset(settings::FanMode mode) const {
  const std::size_t offset = static_cast<std::size_t>(
      static_cast<std::int32_t>(mode) - static_cast<std::int32_t>(settings::FanMode::kPerformance));
  if (fanSelector_ == FanSelector::kSystem)
    return &fan_.SystemFanPresets[settings::kSysPerformance + offset];
  return &fan_.PSUFanPresets[settings::kPsuPerformance + offset];
}

void FanSpeedPage::RefreshFanPage(bool show) {
  controls_.SetShown(show);
  if (hooks_.ExtrasShown) hooks_.ExtrasShown(show);
  if (!show) return;

  // Deselect what changed.
  if (shownUnit_ != Code(configTempUnit_)) ShowSelected(shownUnit_, false);
  if (shownFan_ != Code(fanSelector_)) {
    ShowSelected(shownFan_, false);
    currentFanMode_ = SelectedFanMode();
  }
  if (shownMode_ != Code(currentFanMode_)) ShowSelected(shownMode_, false);

  // Fan.
  if (fanSelector_ == FanSelector::kPsu) {
    cbTempSensor_->SetItemIndex(settings::kSensorPSU);
    cbTempSensor_->SetEnabled(false);
  } else {
    cbTempSensor_->SetEnabled(true);
    SetCurveControlsEnabled(true);
    cbTempSensor_->SetItemIndex(fan_.SystemFanSensor);
  }

  // Mode.
  const auto load = [this](const settings::FanPreset& preset) {
    values_ = {core::ParseSettingNumber(preset.Vol), core::ParseSettingNumber(preset.Temp),
               CurveSensor()};
    presetTexts_.vol = preset.Vol;
    presetTexts_.temp = preset.Temp;
  };
  if (currentFanMode_ == settings::FanMode::kManual) {
    SetCurveControlsEnabled(true);
    SelectedFanMode() = settings::FanMode::kManual;
    if (const settings::FanPreset* curve = SelectedManualCurve()) load(*curve);
  } else if (IsMode(currentFanMode_)) {
    SetCurveControlsEnabled(false);
    load(*SelectedPreset(currentFanMode_));
    SelectedFanMode() = currentFanMode_;
  }

  // Select.
  ShowSelected(Code(configTempUnit_), true);
  ShowSelected(Code(fanSelector_), true);
  ShowSelected(Code(currentFanMode_), true);
  shownUnit_ = Code(configTempUnit_);
  shownFan_ = Code(fanSelector_);
  shownMode_ = Code(currentFanMode_);
  SelectedFanMode() = currentFanMode_;

  WriteEdits();
  DrawClamped();
}

void FanSpeedPage::WriteEdits() {
  editStartVol_->SetText(core::FixedText(values_.volts, 1));
  editRisingTemp_->SetText(fc::WholeText(fc::InPageUnit(values_.celsius, configTempUnit_)));
}

void FanSpeedPage::DrawClamped() {
  const fc::CurveValues drawn = fc::Clamped(values_);
  DrawFanCurve(drawn.volts, drawn.celsius);
}

void FanSpeedPage::DrawFanCurve(float volts, float celsius) {
  if (fsVol_) {
    // A redraw while the page is rolled away keeps the marker where the roll has it.
    const std::int32_t rolled = rollAnchor_ ? rollAnchor_->Top() - anchorDesignTop_ : 0;
    fsVol_->MarkerImage().SetTop(fsVol_->PositionBar().Top - fc::StartVoltsMarkerOffset(volts) +
                                 rolled);
  }
  if (fsTemp_) {
    fsTemp_->MarkerImage().SetLeft(fsTemp_->PositionBar().Left +
                                   fc::RisingTempMarkerOffset(celsius));
  }
  labelCurve_->Clear();
  const ui::Point knee = fc::KneeOf(volts, celsius);
  labelCurve_->DrawLine(ui::Point{0, knee.y}, knee, kCurvePen);
  labelCurve_->DrawLine(knee, ui::Point{fc::kWidth, 0}, kCurvePen);
  labelCurve_->DrawRectangle(ui::Rect::FromEdges(knee.x - kKneeMarkHalf, knee.y - kKneeMarkHalf,
                                                 knee.x + kKneeMarkHalf, knee.y + kKneeMarkHalf),
                             kCurvePen);
  curveKnee_ = knee;

  if (hooks_.VoltageSubPageActive && hooks_.VoltageSubPageActive()) {
    if (hooks_.StoreVoltageTargets) hooks_.StoreVoltageTargets();
  } else {
    StoreManualCurve();
  }
}

void FanSpeedPage::StoreManualCurve() {
  if (currentFanMode_ != settings::FanMode::kManual) return;
  if (!hooks_.FanSubPageActive || !hooks_.FanSubPageActive()) return;
  settings::FanPreset* curve = SelectedManualCurve();
  if (!curve) return;
  // A text the edit check would refuse, or none at all, never reaches the settings.
  const std::string& vol = editStartVol_->Text();
  if (fc::PassesDigitTest(vol)) curve->Vol = vol;
  const std::string& temp = editRisingTemp_->Text();
  if (fc::PassesDigitTest(temp)) {
    curve->Temp =
        configTempUnit_ == core::TempUnit::kFahrenheit ? fc::WholeText(values_.celsius) : temp;
  }
}

void FanSpeedPage::SelectMode(settings::FanMode mode) {
  currentFanMode_ = mode;
  SelectedFanMode() = mode;
  RefreshFanPage(true);
}

void FanSpeedPage::SelectFan(FanSelector fan) {
  fanSelector_ = fan;
  RefreshFanPage(true);
}

void FanSpeedPage::SelectUnit(core::TempUnit unit) {
  configTempUnit_ = unit;
  if (hooks_.LoadBackground) hooks_.LoadBackground();
  RefreshFanPage(true);
}

void FanSpeedPage::PostFanCurveApply() {
  window_.Handle().Post(ui::Message{core::kFanCurveApplyMessage, 0, 0});
}

void FanSpeedPage::VoltsDragged(float volts) {
  // The edit shows one decimal, and that is the value taken, sent and stored.
  const std::string text = core::FixedText(volts, 1);
  values_.volts = core::ParseSettingNumber(text);
  editStartVol_->SetText(text);
  PostFanCurveApply();
}

void FanSpeedPage::CelsiusDragged(float celsius) {
  // The edit shows the whole degrees under the marker in the page's unit until the message
  // runs; the value is those degrees in whole Celsius at once.
  const float shown = std::trunc(fc::InPageUnit(celsius, configTempUnit_));
  values_.celsius = fc::WholeCelsius(shown, values_.celsius, configTempUnit_);
  editRisingTemp_->SetText(fc::WholeText(shown));
  PostFanCurveApply();
}

void FanSpeedPage::ApplyFanCurve() {
  TakeEdits();
}

void FanSpeedPage::TakeEdits() {
  window_.InvalidateAll();
  ApplyEditTexts();
}

void FanSpeedPage::ApplyEditTexts() {
  // The edit's one decimal is the start voltage taken, whoever wrote it (a drag on the curve
  // keeps the exact pointer value for drawing until then).
  const float volts = core::ParseSettingNumber(editStartVol_->Text());
  const std::string& typed = editRisingTemp_->Text();
  // The text this page wrote stands for the page's own value: read back from whole
  // Fahrenheit it would lose a degree each time it is taken (38 C shows as 100 F, which is
  // 37.8 C).
  const bool ours = std::isfinite(values_.celsius) &&
                    typed == fc::WholeText(fc::InPageUnit(values_.celsius, configTempUnit_));
  float celsius = ours ? values_.celsius
                       : fc::CelsiusFromPageUnit(core::ParseSettingNumber(typed), configTempUnit_);
  // The PSU takes whole degrees Celsius: the temperature is truncated to them once, here, and
  // the edit shows that number in the page's unit, so the edit, the command and the stored text
  // all carry the same degrees (25.9 C is 25; 102 F is 38.9 C, so 38, shown as 100 F). An
  // empty or refused text is left for the checks to judge.
  if (fc::PassesDigitTest(typed) && std::isfinite(celsius)) {
    celsius = std::trunc(celsius);
    editRisingTemp_->SetText(fc::WholeText(fc::InPageUnit(celsius, configTempUnit_)));
  }
  values_.volts = volts;
  values_.celsius = celsius;
  DrawFanCurve(values_.volts, values_.celsius);
}

void FanSpeedPage::PutBack(bool startVolts) {
  if (startVolts) {
    editStartVol_->SetText(core::FixedText(core::ParseSettingNumber(presetTexts_.vol), 1));
  } else {
    const float celsius = core::ParseSettingNumber(presetTexts_.temp);
    editRisingTemp_->SetText(fc::WholeText(fc::InPageUnit(celsius, configTempUnit_)));
  }
}

bool FanSpeedPage::CheckEdit(bool startVolts) {
  const char* refusal = fc::EditRefusal((startVolts ? *editStartVol_ : *editRisingTemp_).Text(),
                                        startVolts, configTempUnit_);
  if (!refusal) return true;
  dialogs_.ShowMessage(refusal);
  PutBack(startVolts);
  return false;
}

std::optional<std::string> FanSpeedPage::ValidationFailure() const {
  return fc::OkRefusal(values_, configTempUnit_);
}

bool FanSpeedPage::RequestFanCurve(device::CommandRequests& requests) const {
  // Whole degrees, truncated, as the edit shows them.
  const auto celsius = static_cast<std::int32_t>(std::trunc(values_.celsius));
  if (fanSelector_ == FanSelector::kSystem) {
    return requests.RequestSystemFanCurve(values_.volts, celsius,
                                          device::SystemFanSensorCode(values_.sensor));
  }
  return requests.RequestPsuFanCurve(values_.volts, celsius);
}

std::int32_t FanSpeedPage::CurveSensor() const {
  return fanSelector_ == FanSelector::kSystem ? fan_.SystemFanSensor : settings::kSensorPSU;
}

void FanSpeedPage::CurveMouseDown() {
  if (currentFanMode_ != settings::FanMode::kManual) {
    currentFanMode_ = settings::FanMode::kManual;
    SelectedFanMode() = settings::FanMode::kManual;
    RefreshFanPage(true);
  }
  curveDragging_ = true;
}

void FanSpeedPage::CurveMouseMove(const ui::MouseEvent& event) {
  const int x = event.pos.x;
  const int y = event.pos.y;
  if (!curveDragging_ || x < 0 || x > fc::kWidth || y < 0 || y > fc::kHeight) return;
  values_ = fc::ValuesAtPointer(x, y);
  values_.sensor = CurveSensor();
  WriteEdits();
  DrawFanCurve(values_.volts, values_.celsius);
}

}  // namespace pages
