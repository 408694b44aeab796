#include "platform/ui/win32/win32_tray_host.h"

#include "platform/ui/tray_icon.h"

namespace ui::win32 {

Win32TrayHost::Win32TrayHost(TrayIcon& tray) : tray_(tray) {
  icon_.OnDoubleClick = [this] { tray_.InputDoubleClick(); };
  icon_.OnMenuChoice = [this](std::size_t index) { tray_.InputMenuChoice(index); };
}

bool Win32TrayHost::Available() const {
  // The shell's notification area: the taskbar's tray window, where a shell runs one.
  return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
}

void Win32TrayHost::Changed() {
  std::vector<std::string> captions;
  std::vector<bool> checks;
  for (const TrayIcon::MenuItem& item : tray_.Menu()) {
    captions.push_back(item.caption);
    checks.push_back(item.checkable && item.checked);
  }
  if (captions != captions_) {
    icon_.SetMenu(captions);
    captions_ = captions;
    checks_.assign(captions.size(), false);
  }
  for (std::size_t i = 0; i < checks.size(); ++i) {
    if (checks[i] == checks_[i]) continue;
    ::CheckMenuItem(icon_.Menu(), NotifyIcon::kFirstCommand + static_cast<UINT>(i),
                    MF_BYCOMMAND | (checks[i] ? MF_CHECKED : MF_UNCHECKED));
    checks_[i] = checks[i];
  }
  if (tray_.Hint() != icon_.Hint()) icon_.SetHint(tray_.Hint());
  if (!pictureSet_ || tray_.Icon() != picture_) {
    picture_ = tray_.Icon();
    pictureSet_ = true;
    if (picture_ && picture_->Width() > 0) {
      icon_.SetPicture(picture_->PixelFrame(), picture_->Key());
    } else {
      icon_.SetPicture(Frame{}, Color{});
    }
  }
  const bool visible = tray_.Visible() && Available();
  if (visible != icon_.Visible()) icon_.SetVisible(visible);
}

}  // namespace ui::win32
