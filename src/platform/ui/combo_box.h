#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

// A drop-down list to pick one item from. In a live window it is a real desktop combo box.
class ComboBox : public Control {
 public:
  explicit ComboBox(Window& owner, const Rect& bounds = Rect{});

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);  // the selection becomes none
  // The selected item, -1 for none.
  int ItemIndex() const { return itemIndex_; }
  // Selects from the program (OnChange is not called); an index outside the items means none.
  void SetItemIndex(int index);
  std::string SelectedText() const;

  // The user picked another item.
  std::function<void(ComboBox&)> OnChange;
  // A pick by the user (backend or test); ignored while disabled or outside the items.
  void InputSelect(int index);

#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  void PaintFrame(FrameCanvas& canvas) const override;
  bool IsNative() const override {
    return true;
  }

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

}  // namespace ui
