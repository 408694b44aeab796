#pragma once

#include <array>
#include <functional>

#include "pages/control_group.h"
#include "pages/page_codes.h"
#include "pages/rolled_page.h"
#include "pages/sub_page_controls.h"

namespace pages {

// The configuration page as a container for the roll: its buttons (sub-page tabs, OK, Cancel)
// and its two sub-pages' containers (each sub-page's own), of which only the selected one
// shows as the page comes out; its extras show once the page is fully out, and the page then
// shows its sub-page again. The sub-pages must outlive it. UI thread only.
class ConfigPageControls : public RolledPage {
 public:
  // `selected`: the sub-page shown (none: the fan sub-page); `showSubPage`: shows it again
  // (picture, tabs, contents) once the page is fully out.
  ConfigPageControls(SubPageControls& fan, SubPageControls& voltage,
                     std::function<SubPage()> selected, std::function<void()> showSubPage);

  ControlGroup& Buttons() { return buttons_; }
  SubPageControls& SubPageOf(pages::SubPage subPage);
  pages::SubPage Selected() const;

  // The page as it stands fully out (its buttons and the selected sub-page), or none of it.
  void Show();
  void Hide();

  void HideStep(int dy, int barTop) override;
  void ShowStep(int dy, int barTop) override;
  void Carry(int dy) override;
  void CompleteBeforeTabs() override;
  void CompleteAfterTabs() override;
  bool ExtrasShown() const override { return extrasShown_; }
  void SetExtrasShown(bool shown) override { extrasShown_ = shown; }

 private:
  static constexpr std::array<pages::SubPage, 2> kSubPages{pages::SubPage::kFan,
                                                           pages::SubPage::kVoltage};

  std::function<pages::SubPage()> selected_;
  std::function<void()> showSubPage_;
  ControlGroup buttons_;
  std::array<SubPageControls*, kSubPages.size()> subPages_;
  bool extrasShown_ = false;
};

}  // namespace pages
