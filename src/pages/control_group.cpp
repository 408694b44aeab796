#include "pages/control_group.h"

#include "platform/ui/control.h"
#include "skin/image_track_bar.h"

namespace pages {

void ControlGroup::Add(ui::Control* control) {
  if (control) controls_.push_back(control);
}

void ControlGroup::Add(skin::TImageTrackBar* display) {
  if (display) displays_.push_back(display);
}

void ControlGroup::Add(const std::vector<ui::Control*>& controls) {
  for (ui::Control* c : controls) Add(c);
}

void ControlGroup::Add(std::initializer_list<ui::Control*> controls) {
  for (ui::Control* c : controls) Add(c);
}

void ControlGroup::Add(const std::vector<skin::TImageTrackBar*>& displays) {
  for (skin::TImageTrackBar* d : displays) Add(d);
}

void ControlGroup::SetDisplayShown(skin::TImageTrackBar& display, bool shown) const {
  if (digits_ == Digits::kFollowVisibility) display.ShowDigit = shown;
  display.SetPartsVisible(shown);
}

void ControlGroup::SetShown(bool shown) {
  for (ui::Control* c : controls_) c->SetVisible(shown);
  for (skin::TImageTrackBar* d : displays_) SetDisplayShown(*d, shown);
}

void ControlGroup::MoveBy(int dy) {
  for (ui::Control* c : controls_) c->SetTop(c->Top() + dy);
  for (skin::TImageTrackBar* d : displays_) {
    d->SetTop(d->Top() + dy);
    d->ShiftVertically(dy);
  }
}

void ControlGroup::MoveAndHideBehind(int dy, int barTop) {
  for (ui::Control* c : controls_) {
    c->SetTop(c->Top() + dy);
    if (BehindBar(*c, barTop)) c->Hide();
  }
  for (skin::TImageTrackBar* d : displays_) {
    d->SetTop(d->Top() + dy);
    d->ShiftVertically(dy);
    if (BehindBar(*d, barTop)) SetDisplayShown(*d, false);
  }
}

void ControlGroup::MoveAndShowClear(int dy, int barTop, bool allowed) {
  for (ui::Control* c : controls_) {
    c->SetTop(c->Top() + dy);
    if (allowed && !BehindBar(*c, barTop)) c->Show();
  }
  for (skin::TImageTrackBar* d : displays_) {
    d->SetTop(d->Top() + dy);
    d->ShiftVertically(dy);
    if (allowed && !BehindBar(*d, barTop)) SetDisplayShown(*d, true);
  }
}

bool ControlGroup::BehindBar(const ui::Control& control, int barTop) {
  return control.Top() + control.Height() >= barTop;
}

}  // namespace pages
