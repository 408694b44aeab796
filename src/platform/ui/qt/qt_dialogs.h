#pragma once

#include <QString>
#include <string>

#include "platform/ui/dialogs.h"

namespace ui::qt {

// Modal message boxes on the desktop, titled with the program's title.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(std::string title = {}) : title_(std::move(title)) {}

  void SetTitle(std::string title) { title_ = std::move(title); }

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void ShowError(std::string_view text) override;

 private:
  std::string title_;
};

}  // namespace ui::qt
