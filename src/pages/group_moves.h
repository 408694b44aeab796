#pragma once

#include <vector>

namespace ui {
class Control;
}
namespace skin {
class TImageTrackBar;
}

// How the roll moves, hides and shows one group. A control is behind the bar once its bottom
// edge is at or below the bar's top. Null members are skipped.
namespace pages::group_moves {

void Move(const std::vector<ui::Control*>& group, int dy);
// Displays move with their parts.
void Move(const std::vector<skin::TImageTrackBar*>& group, int dy);
void Move(skin::TImageTrackBar* display, int dy);

void SetVisible(const std::vector<ui::Control*>& group, bool visible);

bool BehindBar(const ui::Control& control, int barTop);

// Moves each member, then hides it once it is behind the bar.
void MoveAndHideBehind(const std::vector<ui::Control*>& group, int dy, int barTop);
void MoveAndHideBehind(const std::vector<skin::TImageTrackBar*>& group, int dy, int barTop);
// Moves each member, then shows it once it is clear of the bar (and `allowed`).
void MoveAndShowClear(const std::vector<ui::Control*>& group, int dy, int barTop,
                      bool allowed = true);

}  // namespace pages::group_moves
