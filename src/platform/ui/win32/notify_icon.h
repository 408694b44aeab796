#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/color.h"
#include "platform/ui/frame.h"

namespace ui::win32 {

// The program's icon in the notification area (Shell_NotifyIconA) with its hint and popup
// menu. The shell reports the pointer on the icon to a hidden window of this object: a double
// click restores (OnDoubleClick), a right-button release opens the menu (TrackPopupMenu) and
// the item chosen reaches OnMenuChoice by its index. UI thread only.
class NotifyIcon {
 public:
  // The message the shell sends about the icon, and the menu's first command (item i has
  // command kFirstCommand + i).
  static constexpr UINT kCallback = WM_APP + 0x53;
  static constexpr UINT kFirstCommand = 0x100;
  // The longest hint the shell takes, without its terminating zero.
  static constexpr std::size_t kHintMax = 127;

  NotifyIcon();
  ~NotifyIcon();
  NotifyIcon(const NotifyIcon&) = delete;
  NotifyIcon& operator=(const NotifyIcon&) = delete;

  // Shows or takes away the icon; false when the shell refused (no notification area).
  bool SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // A hint longer than the shell takes is cut to kHintMax characters.
  void SetHint(const std::string& hint);
  const std::string& Hint() const { return hint_; }
  // The icon's picture, `key` see-through; an empty frame gives a plain green square.
  void SetPicture(const Frame& picture, Color key);
  void SetMenu(const std::vector<std::string>& captions);
  HMENU Menu() const { return menu_; }

  // A menu command as chosen (from the popup, or a test): runs OnMenuChoice with the item's
  // index. Commands that are not an item's are ignored; returns whether one ran.
  bool Choose(UINT command);

  HWND CallbackWindow() const { return window_; }

  std::function<void()> OnDoubleClick;
  std::function<void(std::size_t)> OnMenuChoice;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void PopupMenu();
  bool Notify(DWORD action, UINT flags);

  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
  HICON icon_ = nullptr;
  std::size_t items_ = 0;
  std::string hint_;
  bool visible_ = false;
};

// An icon made of a frame, pixels of the key colour see-through. The caller destroys it.
HICON IconFromFrame(const Frame& picture, Color key);

}  // namespace ui::win32
