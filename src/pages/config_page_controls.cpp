#include "pages/config_page_controls.h"

#include <utility>

namespace pages {

ConfigPageControls::ConfigPageControls(SubPageControls& fan, SubPageControls& voltage,
                                       std::function<pages::SubPage()> selected,
                                       std::function<void()> showSubPage)
    : selected_(std::move(selected)),
      showSubPage_(std::move(showSubPage)),
      subPages_{&fan, &voltage} {}

SubPageControls& ConfigPageControls::SubPageOf(pages::SubPage subPage) {
  return *subPages_[subPage == pages::SubPage::kVoltage ? 1 : 0];
}

pages::SubPage ConfigPageControls::Selected() const {
  return selected_ ? selected_() : pages::SubPage::kFan;
}

void ConfigPageControls::Show() {
  buttons_.Show();
  for (const pages::SubPage subPage : kSubPages) {
    SubPageOf(subPage).SetShown(subPage == Selected());
  }
}

void ConfigPageControls::Hide() {
  buttons_.Hide();
  for (SubPageControls* subPage : subPages_) subPage->Hide();
  extrasShown_ = false;
}

void ConfigPageControls::HideStep(int dy, int barTop) {
  if (extrasShown_) {
    for (SubPageControls* subPage : subPages_) subPage->Extras().Hide();
    extrasShown_ = false;
  }
  SubPageOf(pages::SubPage::kVoltage).HideStep(dy, barTop);
  buttons_.MoveAndHideBehind(dy, barTop);
  SubPageOf(pages::SubPage::kFan).HideStep(dy, barTop);
}

void ConfigPageControls::ShowStep(int dy, int barTop) {
  const pages::SubPage selected = Selected();
  SubPageOf(pages::SubPage::kVoltage).ShowStep(dy, barTop, selected == pages::SubPage::kVoltage);
  buttons_.MoveAndShowClear(dy, barTop);
  SubPageOf(pages::SubPage::kFan).ShowStep(dy, barTop, selected == pages::SubPage::kFan);
}

void ConfigPageControls::Carry(int dy) {
  buttons_.MoveBy(dy);
  for (SubPageControls* subPage : subPages_) subPage->Carry(dy);
}

void ConfigPageControls::CompleteBeforeTabs() {
  // Only a sub-page that has extras puts them up (the voltage sub-page has none).
  SubPageControls& selected = SubPageOf(Selected());
  if (selected.Extras().Empty()) return;
  extrasShown_ = true;
  selected.Extras().Show();
}

void ConfigPageControls::CompleteAfterTabs() {
  if (showSubPage_) showSubPage_();
}

}  // namespace pages
