#include "platform/ui/win32/win32_dialogs.h"

namespace ui::win32 {

int Win32Dialogs::Show(std::string_view text, UINT style) const {
  // The text may come from a view without its terminating zero.
  const std::string shown(text);
  return ::MessageBoxA(owner_, shown.c_str(), title_.c_str(), style | MB_SETFOREGROUND);
}

void Win32Dialogs::ShowMessage(std::string_view text) {
  Show(text, MB_OK);
}

bool Win32Dialogs::AskYesNo(std::string_view text) {
  return Show(text, MB_YESNO) == IDYES;
}

void Win32Dialogs::ShowError(std::string_view text) {
  Show(text, MB_OK | MB_ICONERROR);
}

}  // namespace ui::win32
