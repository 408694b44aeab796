#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/ui/dialogs.h"

namespace ui::win32 {

// The program's message boxes as the system's own (MessageBoxA), titled with the program's
// title, owned by the main window once there is one so they stay in front of it.
class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(std::string title) : title_(std::move(title)) {}

  void SetOwner(HWND owner) { owner_ = owner; }
  const std::string& Title() const { return title_; }

  // Without icon, an OK button.
  void ShowMessage(std::string_view text) override;
  // Without icon, Yes and No buttons.
  bool AskYesNo(std::string_view text) override;
  // The error icon and an OK button.
  void ShowError(std::string_view text) override;

 private:
  int Show(std::string_view text, UINT style) const;

  std::string title_;
  HWND owner_ = nullptr;
};

}  // namespace ui::win32
