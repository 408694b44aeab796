#pragma once

#include <array>
#include <functional>

#include "pages/control_group.h"
#include "pages/rolled_page.h"
#include "settings/setting_codes.h"

namespace alarms {

// The alarm page as a container for the roll: its own controls (group tabs, Disable, OK,
// Cancel, the power display's marker), which show as the page comes out, one container per
// alarm group (Watt holds the power display), which the page's refresh shows once it is fully
// out, and the sensor names, hidden with the page. Nothing is owned. UI thread only.
class AlarmPageControls : public pages::RolledPage {
 public:
  // `refresh`: shows the selected group once the page is fully out.
  explicit AlarmPageControls(std::function<void()> refresh);

  pages::ControlGroup& Controls() { return controls_; }
  pages::ControlGroup& Group(settings::AlarmGroup group);
  pages::ControlGroup& Names() { return names_; }

  // The page with `group` shown (its controls and that group's members; the names go with the
  // temperature group), or none of it.
  void Show(settings::AlarmGroup group);
  void Hide();

  void HideStep(int dy, int barTop) override;
  void ShowStep(int dy, int barTop) override;
  void Carry(int dy) override;
  void CompleteAfterTabs() override;

 private:
  std::function<void()> refresh_;
  pages::ControlGroup controls_;
  std::array<pages::ControlGroup, std::size(settings::kAlarmGroups)> groups_;
  pages::ControlGroup names_;
};

}  // namespace alarms
