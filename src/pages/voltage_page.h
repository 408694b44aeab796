#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/sub_page_controls.h"
#include "settings/trim_targets.h"
#include "settings/voltage_settings.h"
#include "skin/file_resolver.h"
#include "skin/image_track_bar.h"
#include "skin/page_records.h"

namespace ui {
class ImageList;
class Window;
}  // namespace ui

namespace pages {

// The voltage sub-page of the configuration page: three digit/bar displays whose markers set
// the 12 V, 5 V and 3.3 V trim targets. A finished drag writes the targets it is given (its
// owner keeps them) and stores their texts in memory; the owner sends and saves them on OK.
// UI thread only.
class VoltagePage {
 public:
  // One trim display: its group key, its layout record, its target text and its name in
  // messages.
  struct Rail {
    const char* groupKey;
    const char* recordKey;
    std::string settings::VoltageSettings::*target;
    const char* name;
  };
  static const std::array<Rail, 3> kRails;

  // What a trim asks for, rail by rail in the order of kRails, with the rails left out.
  struct Trim : settings::TrimTargets {
    std::vector<std::string> skipped;  // names ("3.3V") of rails sent with enable false
  };

  // `active`: whether the configuration page is current and its voltage sub-page selected.
  // `targets` are written where a target is loaded (the sub-page shown) or dragged; OK reads
  // them. They must outlive the page.
  VoltagePage(ui::Window& window, skin::FileResolver files, const ui::ImageList& digits,
              settings::VoltageSettings& voltage, settings::TrimTargets& targets,
              std::function<bool()> active);
  ~VoltagePage();
  VoltagePage(const VoltagePage&) = delete;
  VoltagePage& operator=(const VoltagePage&) = delete;

  // Builds the three displays from the records "12V", "5V", "33V", hidden.
  void Build(const skin::PageRecords& records);
  // Called with the owning window when any marker drag ends.
  void SetOnCommit(std::function<void(ui::Window&)> onCommit);

  void ShowVoltagePage(bool show);
  // A finished drag: each display's value becomes its trim target, and its text with two
  // decimals the stored target; only while active.
  void StoreVoltageTargets();
  // The trim's targets as last shown from the settings or set by a drag (the displays only draw
  // them). A value outside its display's bar range (an empty or unreadable target reads as 0) is
  // sent with its rail switched off, never trimmed toward.
  Trim TrimTargets() const;

  // Null until built.
  skin::TImageTrackBar* Display(std::size_t rail) const { return displays_[rail].get(); }
  // The sub-page's markers and displays, as they roll with the page.
  SubPageControls& Controls() { return controls_; }

 private:
  // Sets a rail's target and whether it lies within its display's range.
  void SetTarget(std::size_t rail, float value);

  ui::Window& window_;
  skin::FileResolver files_;
  const ui::ImageList& digits_;
  settings::VoltageSettings& voltage_;
  settings::TrimTargets& targets_;
  std::function<bool()> active_;
  std::array<std::unique_ptr<skin::TImageTrackBar>, 3> displays_;
  SubPageControls controls_;
};

}  // namespace pages
