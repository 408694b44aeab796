#include "pages/group_moves.h"

#include "platform/ui/control.h"
#include "skin/image_track_bar.h"

namespace pages::group_moves {

void Move(const std::vector<ui::Control*>& group, int dy) {
  for (ui::Control* c : group) {
    if (c) c->SetTop(c->Top() + dy);
  }
}

void Move(skin::TImageTrackBar* display, int dy) {
  if (!display) return;
  display->SetTop(display->Top() + dy);
  display->ShiftVertically(dy);
}

void Move(const std::vector<skin::TImageTrackBar*>& group, int dy) {
  for (skin::TImageTrackBar* d : group) Move(d, dy);
}

void SetVisible(const std::vector<ui::Control*>& group, bool visible) {
  for (ui::Control* c : group) {
    if (c) c->SetVisible(visible);
  }
}

bool BehindBar(const ui::Control& control, int barTop) {
  return control.Top() + control.Height() >= barTop;
}

void MoveAndHideBehind(const std::vector<ui::Control*>& group, int dy, int barTop) {
  for (ui::Control* c : group) {
    if (!c) continue;
    c->SetTop(c->Top() + dy);
    if (BehindBar(*c, barTop)) c->Hide();
  }
}

void MoveAndHideBehind(const std::vector<skin::TImageTrackBar*>& group, int dy, int barTop) {
  for (skin::TImageTrackBar* d : group) {
    if (!d) continue;
    Move(d, dy);
    if (BehindBar(*d, barTop)) d->SetPartsVisible(false);
  }
}

void MoveAndShowClear(const std::vector<ui::Control*>& group, int dy, int barTop, bool allowed) {
  for (ui::Control* c : group) {
    if (!c) continue;
    c->SetTop(c->Top() + dy);
    if (allowed && !BehindBar(*c, barTop)) c->Show();
  }
}

}  // namespace pages::group_moves
