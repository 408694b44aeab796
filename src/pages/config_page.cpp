#include "pages/config_page.h"

#include <utility>

#include "platform/ui/dialogs.h"
#include "platform/ui/image.h"
#include "platform/ui/window.h"
#include "skin/skin_files.h"

namespace pages {
namespace {

constexpr const char* kSettingOk = "New Value Setting OK!";
constexpr const char* kDeviceNotReady = "Device not ready!\n\nNew Value Setting FAIL!";
constexpr const char* kNotSaved = "Settings could not be saved!\n\nNew Value Setting FAIL!";
constexpr const char* kFailSuffix = "\n\nNew Value Setting FAIL!";
constexpr const char* kNotTrimmed = " target not valid: not trimmed";

constexpr const char* kFanTab = "FanSpeed";
constexpr const char* kVoltageTab = "Vol";
constexpr const char* kOk = "OK";
constexpr const char* kCancel = "Cancel";

}  // namespace

ConfigPage::ConfigPage(Context context, Hooks hooks)
    : context_(std::move(context)), hooks_(std::move(hooks)) {
  FanSpeedPage::Hooks fanHooks;
  fanHooks.FanSubPageActive = [this] {
    return ConfigPageShown() && configSubPage_ == SubPage::kFan;
  };
  fanHooks.VoltageSubPageActive = [this] { return configSubPage_ == SubPage::kVoltage; };
  fanHooks.StoreVoltageTargets = [this] { voltage_->StoreVoltageTargets(); };
  fanHooks.LoadBackground = [this] { LoadBackground(); };
  // The page's container is the one the roll moves: it knows at once.
  fanHooks.ExtrasShown = [this](bool shown) { controls_->SetExtrasShown(shown); };
  fan_ = std::make_unique<FanSpeedPage>(context_.window, context_.files, context_.fan,
                                        context_.currentFanMode, context_.fanCurve,
                                        context_.dialogs, std::move(fanHooks));
  voltage_ = std::make_unique<VoltagePage>(
      context_.window, context_.files, context_.digits, context_.voltage, context_.trims,
      [this] { return ConfigPageShown() && configSubPage_ != SubPage::kFan; });
  controls_ = std::make_unique<ConfigPageControls>(
      fan_->Controls(), voltage_->Controls(), [this] { return configSubPage_; },
      [this] { ShowConfigSubPage(); });
}

ConfigPage::~ConfigPage() = default;

bool ConfigPage::ConfigPageShown() const {
  return hooks_.CurrentPage && hooks_.CurrentPage() == Page::kConfig;
}

void ConfigPage::Build(const skin::PageRecords& records, std::string languageSkinFolder) {
  skinFolder_ = std::move(languageSkinFolder);
  AddButton(kFanTab, records, "FanSpeed", [this] { SelectSubPage(SubPage::kFan); });
  AddButton(kVoltageTab, records, "Voltage", [this] { SelectSubPage(SubPage::kVoltage); });
  AddButton(kOk, records, "OK", [this] { ApplyConfigPage(); });
  AddButton(kCancel, records, "Cancel", [this] { CancelClick(); });
  // "12VLight", "5VLight" and "33VLight" are read with the page but make no control.
  voltage_->Build(records);
  fan_->Build(records);
  const auto commit = [this](ui::Window&) { CommitDrag(); };
  voltage_->SetOnCommit(commit);
  if (fan_->FSVol()) fan_->FSVol()->OnCommit = commit;
  if (fan_->FSTemp()) fan_->FSTemp()->OnCommit = commit;
}

void ConfigPage::AddButton(const std::string& key, const skin::PageRecords& records,
                           std::string_view recordKey, std::function<void()> action) {
  const skin::ButtonRecord* record = records.Button(recordKey);
  const skin::ButtonRecord empty;
  const skin::ButtonRecord& use = record ? *record : empty;
  const auto fileOf = [&](std::size_t index) -> std::filesystem::path {
    if (index >= use.bitmaps.size() || use.bitmaps[index].empty()) return {};
    try {
      return context_.files(use.bitmaps[index]);
    } catch (const std::exception&) {
      return {};  // a refused path loads nothing, as for the button itself
    }
  };
  Tab tab;
  tab.leave = fileOf(skin::kLeaveBmp);
  tab.click = fileOf(skin::kClickBmp);
  tab.disabled = fileOf(skin::kDisBmp);
  tab.button =
      skin::BuildImageLabel(context_.window, use.rect, use.bitmaps, context_.files,
                            [action = std::move(action)](skin::TImageLabel&) { action(); });
  tab.button->SetBtnAction(key);
  tab.button->Hide();
  controls_->Buttons().Add(tab.button.get());
  buttons_.emplace(key, std::move(tab));
}

skin::TImageLabel* ConfigPage::Button(const std::string& key) const {
  const auto it = buttons_.find(key);
  return it == buttons_.end() ? nullptr : it->second.button.get();
}

void ConfigPage::SetNormal(const std::string& key, std::filesystem::path Tab::*picture) {
  const auto it = buttons_.find(key);
  if (it == buttons_.end()) return;
  it->second.button->LoadLeaveBitmap(it->second.*picture);
  it->second.button->Repaint();
}

void ConfigPage::LoadBackground() {
  if (skinFolder_.empty()) return;
  std::string_view file = skin::kConfigVoltageBackground;
  if (configSubPage_ == SubPage::kFan) {
    // The picture carries the unit's scale, so it follows the unit the page shows.
    file = fan_->ConfigTempUnit() == core::TempUnit::kFahrenheit
               ? skin::kConfigFanFahrenheitBackground
               : skin::kConfigFanCelsiusBackground;
  }
  context_.imgConfig.LoadPicture(context_.files(skinFolder_ + std::string(file)));
}

void ConfigPage::SelectSubPage(SubPage subPage) {
  configSubPage_ = subPage;
  ShowConfigSubPage();
}

void ConfigPage::ShowConfigSubPage() {
  LoadBackground();
  const bool fan = configSubPage_ == SubPage::kFan;
  SetNormal(kFanTab, fan ? &Tab::click : &Tab::leave);
  SetNormal(kVoltageTab, fan ? &Tab::leave : &Tab::click);
  if (fan) {
    voltage_->ShowVoltagePage(false);
    fan_->RefreshFanPage(true);
  } else {
    fan_->RefreshFanPage(false);
    voltage_->ShowVoltagePage(true);
  }
}

void ConfigPage::CommitDrag() {
  voltage_->StoreVoltageTargets();
  fan_->StoreManualCurve();
}

void ConfigPage::ApplyFanCurve() {
  fan_->ApplyFanCurve();
}

void ConfigPage::ApplyConfigPage() {
  // The typed texts count, not only those an edit's exit has taken.
  if (configSubPage_ == SubPage::kFan) {
    const bool startVolts = fan_->CheckEdit(true);
    const bool risingTemp = fan_->CheckEdit(false);
    fan_->TakeEdits();
    if (!startVolts || !risingTemp) {
      Finish({});
      return;
    }
  }
  if (const auto failure = fan_->ValidationFailure()) {
    Finish(*failure);
    return;
  }
  std::vector<std::string> skipped;
  bool placed = false;
  if (hooks_.Requests && configSubPage_ == SubPage::kFan) {
    placed = fan_->RequestFanCurve(*hooks_.Requests);
  } else if (hooks_.Requests) {
    VoltagePage::Trim trim = voltage_->TrimTargets();
    placed = hooks_.Requests->RequestTrim(trim.targets[0], trim.enabled[0], trim.targets[1],
                                          trim.enabled[1], trim.targets[2], trim.enabled[2]);
    skipped = std::move(trim.skipped);
  }
  if (!placed) {
    Finish(kDeviceNotReady);
    return;
  }
  if (!hooks_.SaveConfigSettings || !hooks_.SaveConfigSettings()) {
    Finish(kNotSaved);
    return;
  }
  std::string message = kSettingOk;
  for (std::size_t i = 0; i < skipped.size(); ++i) {
    message += (i == 0 ? "\n\n" : "\n") + skipped[i] + kNotTrimmed;
  }
  Finish(message);
}

void ConfigPage::CommandFailed(const std::string& cause) {
  context_.dialogs.ShowMessage(cause + kFailSuffix);
}

void ConfigPage::Finish(const std::string& message) {
  if (!message.empty()) context_.dialogs.ShowMessage(message);
  SetNormal(kCancel, &Tab::leave);
  SetNormal(kOk, &Tab::disabled);
}

void ConfigPage::CancelClick() {
  ShowConfigSubPage();
  SetNormal(kOk, &Tab::leave);
  SetNormal(kCancel, &Tab::disabled);
}

}  // namespace pages
