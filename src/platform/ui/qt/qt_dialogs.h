#pragma once

#include <QString>
#include <string>
#include <vector>

#include "platform/ui/dialogs.h"

namespace ui::qt {

// Modal message boxes on the desktop, titled with the program's title.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(std::string title = {}) : title_(std::move(title)) {}

  void SetTitle(std::string title) { title_ = std::move(title); }

  // A message whose box with the same words still waits for its OK is not shown again: the
  // call returns at once. Boxes nobody answers (a cable that comes and goes all night) would
  // otherwise stack up, each in a loop nested in the last, until the stack gives out.
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void ShowError(std::string_view text) override;

 private:
  std::string title_;
  std::vector<std::string> waiting_;  // the texts of the message boxes open now
};

}  // namespace ui::qt
