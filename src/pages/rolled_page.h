#pragma once

namespace pages {

// A page as the roll sees it: the container of every control the page shows. The roll moves
// the page's picture and asks the page to follow it a step at a time; what hides as the page
// goes behind the control bar, what shows as it comes out, and what the page does once it is
// fully out are the page's own. A page is registered with the roll by its code (one line where
// the window builds its pages). UI thread only.
class RolledPage {
 public:
  virtual ~RolledPage() = default;

  // One step down behind the bar (`dy` > 0, the bar's top at `barTop`): every container moves
  // by `dy`, members behind the bar hide.
  virtual void HideStep(int dy, int barTop) = 0;
  // One step up out of the bar (`dy` < 0): every container moves by `dy`, members clear of the
  // bar show as the page allows.
  virtual void ShowStep(int dy, int barTop) = 0;
  // The monitor page's steps carry the other pages' containers along (showing and hiding
  // nothing), so that each page's controls stay aligned with its picture.
  virtual void Carry(int dy) = 0;
  // The page is fully out: before the bar's tabs are shown again, and after their bitmaps are
  // set.
  virtual void CompleteBeforeTabs() {}
  virtual void CompleteAfterTabs() {}
  // Whether the extras that show only while the page is fully out are up.
  virtual bool ExtrasShown() const { return false; }
  // Someone else showed or hid the extras (a sub-page tab).
  virtual void SetExtrasShown(bool /*shown*/) {}
};

}  // namespace pages
