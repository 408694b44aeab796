#include "platform/ui/win32/notify_icon.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace ui::win32 {
namespace {

constexpr const char* kTrayClass = "QueltaTray";
constexpr UINT kIconId = 1;
constexpr int kPlainIconSize = 32;
constexpr Color kPlainIconColor{30, 160, 70};

}  // namespace

HICON IconFromFrame(const Frame& picture, Color key) {
  if (picture.width <= 0 || picture.height <= 0) return nullptr;
  const std::uint32_t keyWord = Frame::Word(key);
  // The mask: one bit a pixel, rows padded to 16 bits; a set bit is see-through.
  const int maskStride = ((picture.width + 15) / 16) * 2;
  std::vector<unsigned char> mask(static_cast<std::size_t>(maskStride) * picture.height, 0);
  std::vector<std::uint32_t> colours(picture.pixels);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t& word = colours[static_cast<std::size_t>(y) * picture.width + x];
      if ((word & 0xFFFFFFu) == keyWord) {
        mask[static_cast<std::size_t>(y) * maskStride + x / 8] |=
            static_cast<unsigned char>(0x80u >> (x % 8));
        word = 0;  // black under a set mask bit shows what is behind unchanged
      }
    }
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = ::CreateBitmap(picture.width, picture.height, 1, 1, mask.data());
  info.hbmColor = ::CreateBitmap(picture.width, picture.height, 1, 32, colours.data());
  HICON icon = nullptr;
  if (info.hbmMask != nullptr && info.hbmColor != nullptr) icon = ::CreateIconIndirect(&info);
  if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  return icon;
}

NotifyIcon::NotifyIcon() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &NotifyIcon::WindowProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kTrayClass;
  ::RegisterClassExA(&windowClass);  // already there for a second icon: fine
  // A hidden top-level window, not a message-only one: the menu needs a window it can bring
  // to the front so that a click elsewhere closes it.
  window_ = ::CreateWindowExA(0, kTrayClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) throw std::runtime_error("the tray icon's window was refused");
  ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  menu_ = ::CreatePopupMenu();
  SetPicture(Frame{}, Color{});
}

NotifyIcon::~NotifyIcon() {
  SetVisible(false);
  ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
  ::DestroyMenu(menu_);
  if (icon_ != nullptr) ::DestroyIcon(icon_);
}

bool NotifyIcon::Notify(DWORD action, UINT flags) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallback;
  data.hIcon = icon_;
  const std::size_t length = std::min(hint_.size(), kHintMax);
  std::memcpy(data.szTip, hint_.data(), length);
  data.szTip[length] = '\0';
  return ::Shell_NotifyIconA(action, &data) != FALSE;
}

bool NotifyIcon::SetVisible(bool visible) {
  if (visible == visible_) return true;
  const bool done =
      visible ? Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP) : Notify(NIM_DELETE, 0);
  // Taken away counts as done even where the shell had already lost it.
  visible_ = visible && done;
  return done || !visible;
}

void NotifyIcon::SetHint(const std::string& hint) {
  const std::string cut = hint.substr(0, kHintMax);
  if (cut == hint_) return;  // the hint follows every reading: unchanged ones stay off the shell
  hint_ = cut;
  if (visible_) Notify(NIM_MODIFY, NIF_TIP);
}

void NotifyIcon::SetPicture(const Frame& picture, Color key) {
  HICON made = IconFromFrame(picture, key);
  if (made == nullptr) {
    made = IconFromFrame(Frame::Filled(kPlainIconSize, kPlainIconSize, kPlainIconColor), key);
  }
  if (icon_ != nullptr) ::DestroyIcon(icon_);
  icon_ = made;
  if (visible_) Notify(NIM_MODIFY, NIF_ICON);
}

void NotifyIcon::SetMenu(const std::vector<std::string>& captions) {
  while (::GetMenuItemCount(menu_) > 0) ::DeleteMenu(menu_, 0, MF_BYPOSITION);
  for (std::size_t i = 0; i < captions.size(); ++i) {
    ::AppendMenuA(menu_, MF_STRING, kFirstCommand + i, captions[i].c_str());
  }
  items_ = captions.size();
}

bool NotifyIcon::Choose(UINT command) {
  if (command < kFirstCommand || command - kFirstCommand >= items_) return false;
  if (OnMenuChoice) OnMenuChoice(command - kFirstCommand);
  return true;
}

void NotifyIcon::PopupMenu() {
  POINT at{};
  ::GetCursorPos(&at);
  // The menu closes on a click elsewhere only when its window is in front, and the message
  // after it lets the shell see the menu end.
  ::SetForegroundWindow(window_);
  const UINT command = static_cast<UINT>(::TrackPopupMenu(
      menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr));
  ::PostMessageA(window_, WM_NULL, 0, 0);
  Choose(command);
}

LRESULT CALLBACK NotifyIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* icon = reinterpret_cast<NotifyIcon*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (icon != nullptr && message == kCallback) {
    switch (LOWORD(lParam)) {
      case WM_LBUTTONDBLCLK:
        if (icon->OnDoubleClick) icon->OnDoubleClick();
        break;
      case WM_RBUTTONUP:
        icon->PopupMenu();
        break;
      default:
        break;
    }
    return 0;
  }
  if (icon != nullptr && message == WM_COMMAND && HIWORD(wParam) == 0) {
    icon->Choose(LOWORD(wParam));
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ui::win32
