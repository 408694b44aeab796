#include "pages/sub_page_controls.h"

namespace pages {

void SubPageControls::SetShown(bool shown) {
  controls_.SetShown(shown);
  displays_.SetShown(shown);
  extras_.SetShown(shown);
}

void SubPageControls::HideStep(int dy, int barTop) {
  controls_.MoveAndHideBehind(dy, barTop);
  displays_.MoveBy(dy);
  displays_.Hide();
}

void SubPageControls::ShowStep(int dy, int barTop, bool selected) {
  controls_.MoveAndShowClear(dy, barTop, selected);
  displays_.MoveAndShowClear(dy, barTop, selected);
}

void SubPageControls::Carry(int dy) {
  controls_.MoveBy(dy);
  displays_.MoveBy(dy);
}

}  // namespace pages
