#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "device/command_requests.h"
#include "pages/config_page_controls.h"
#include "pages/fan_speed_page.h"
#include "pages/roll_codes.h"
#include "pages/voltage_page.h"
#include "settings/fan_curve.h"
#include "settings/fan_settings.h"
#include "settings/trim_targets.h"
#include "settings/voltage_settings.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/page_records.h"

namespace ui {
class Dialogs;
class Image;
class ImageList;
class Window;
}  // namespace ui

namespace pages {

// The configuration page: its two sub-page tabs, OK and Cancel, and the fan-speed and voltage
// sub-pages they serve. OK validates, hands the worker the command of the shown sub-page,
// saves the settings and says what came of it. UI thread only.
class ConfigPage {
 public:
  // What the page uses of the window; everything referenced must outlive the page.
  struct Context {
    ui::Window& window;
    skin::FileResolver files;
    ui::Image& imgConfig;
    const ui::ImageList& digits;
    settings::FanSettings& fan;
    settings::VoltageSettings& voltage;
    settings::FanMode& currentFanMode;
    // The values being edited, kept by the owner: the fan curve and the trim targets.
    settings::FanCurve& fanCurve;
    settings::TrimTargets& trims;
    ui::Dialogs& dialogs;
  };
  struct Hooks {
    // The page shown or being rolled to.
    std::function<Page()> CurrentPage;
    // Where commands go (the connection to the worker); its setters return false when the
    // command was not accepted (device not ready). None: nothing is ever accepted.
    device::CommandRequests* Requests = nullptr;
    // Writes the configuration settings; false when any of it did not reach the store.
    std::function<bool()> SaveConfigSettings;
  };

  ConfigPage(Context context, Hooks hooks);
  ~ConfigPage();
  ConfigPage(const ConfigPage&) = delete;
  ConfigPage& operator=(const ConfigPage&) = delete;

  // The builder of the configuration page's records. `languageSkinFolder` is "Skin\" plus the
  // language folder, where the page pictures lie.
  void Build(const skin::PageRecords& records, std::string languageSkinFolder);
  // The page's buttons and sub-pages as the roll moves them.
  ConfigPageControls& Controls() { return *controls_; }

  SubPage ConfigSubPage() const { return configSubPage_; }
  // A sub-page tab: selects it and shows it.
  void SelectSubPage(SubPage subPage);
  // Shows the selected sub-page again: page picture, tab pictures, contents.
  void ShowConfigSubPage();

  // OK and Cancel.
  void ApplyConfigPage();
  // The worker could not carry out the command OK placed (its write did not reach the PSU):
  // says why, and that the setting failed after all.
  void CommandFailed(const std::string& cause);
  void CancelClick();
  // Message 2025 (a marker drag step, or the fan-curve apply request): the two edits become
  // the manual curve.
  void ApplyFanCurve();

  FanSpeedPage& Fan() { return *fan_; }
  VoltagePage& Voltage() { return *voltage_; }
  // "FanSpeed", "Vol", "OK", "Cancel"; null when not built.
  skin::TImageLabel* Button(const std::string& key) const;

 private:
  struct Tab {
    std::unique_ptr<skin::TImageLabel> button;
    std::filesystem::path leave;
    std::filesystem::path click;
    std::filesystem::path disabled;
  };

  void AddButton(const std::string& key, const skin::PageRecords& records,
                 std::string_view recordKey, std::function<void()> action);
  void SetNormal(const std::string& key, std::filesystem::path Tab::*picture);
  void LoadBackground();
  bool ConfigPageShown() const;
  // The end of any marker drag.
  void CommitDrag();
  void Finish(const std::string& message);

  Context context_;
  Hooks hooks_;
  std::string skinFolder_;
  SubPage configSubPage_ = SubPage::kFan;
  std::unique_ptr<FanSpeedPage> fan_;
  std::unique_ptr<VoltagePage> voltage_;
  std::map<std::string, Tab, std::less<>> buttons_;
  std::unique_ptr<ConfigPageControls> controls_;
};

}  // namespace pages
