#include "platform/ui/tray_icon.h"

#include "platform/ui/application.h"
#include "platform/ui/backend.h"
#include "platform/ui/window.h"

namespace ui {

TrayIcon::TrayIcon(Application& app, Window& window) : app_(app), window_(window) {
  host_ = app.GetBackend().CreateTrayHost(*this);
  Changed();
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::Changed() {
  if (host_) host_->Changed();
}

void TrayIcon::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  Changed();
}

void TrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

void TrayIcon::SetIcon(std::shared_ptr<const Bitmap> icon) {
  icon_ = std::move(icon);
  Changed();
}

void TrayIcon::AddMenuItem(std::string caption, std::function<void()> onClick) {
  menu_.push_back(MenuItem{std::move(caption), std::move(onClick)});
  Changed();
}

void TrayIcon::AddCheckItem(std::string caption, bool checked, std::function<void(bool)> onToggle) {
  const std::size_t index = menu_.size();
  auto toggle = [this, index, onToggle = std::move(onToggle)] {
    const bool now = menu_[index].checked = !menu_[index].checked;
    Changed();
    if (onToggle) onToggle(now);
  };
  menu_.push_back(MenuItem{std::move(caption), std::move(toggle), true, checked});
  Changed();
}

void TrayIcon::SetChecked(const std::string& caption, bool checked) {
  const std::size_t index = MenuIndex(caption);
  if (index == menu_.size() || menu_[index].checked == checked) return;
  menu_[index].checked = checked;
  Changed();
}

std::size_t TrayIcon::MenuIndex(const std::string& caption) const {
  for (std::size_t i = 0; i < menu_.size(); ++i) {
    if (menu_[i].caption == caption) return i;
  }
  return menu_.size();
}

bool TrayIcon::TrayAvailable() const {
  return host_ && host_->Available();
}

void TrayIcon::Minimize() {
  inTray_ = true;
  if (TrayAvailable() && visible_) {
    window_.Hide();
  } else {
    window_.Minimize();
  }
  if (OnMinimize) {
    const auto routine = OnMinimize;
    routine(*this);
  }
}

void TrayIcon::Restore() {
  inTray_ = false;
  window_.Show();
  window_.Activate();
  if (OnRestore) {
    const auto routine = OnRestore;
    routine(*this);
  }
}

void TrayIcon::InputDoubleClick() {
  app_.Guard([this] { Restore(); });
}

void TrayIcon::InputMenuChoice(std::size_t index) {
  app_.Guard([&] {
    if (index >= menu_.size() || !menu_[index].onClick) return;
    const auto routine = menu_[index].onClick;
    routine();
  });
}

}  // namespace ui
