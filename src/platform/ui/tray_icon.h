#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/bitmap.h"

namespace ui {

class Application;
class TrayHost;
class Window;

// The program's icon in the notification area: a hint, a popup menu (on right-button
// release), hide-to-tray and restore on double-click. Where the desktop has no notification
// area, the window is minimised instead of hidden. UI thread only.
class TrayIcon {
 public:
  struct MenuItem {
    std::string caption;
    std::function<void()> onClick;
    bool checkable = false;  // shows a check mark that each choice turns over
    bool checked = false;
  };

  TrayIcon(Application& app, Window& window);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::shared_ptr<const Bitmap>& Icon() const { return icon_; }
  void SetIcon(std::shared_ptr<const Bitmap> icon);

  const std::vector<MenuItem>& Menu() const { return menu_; }
  void AddMenuItem(std::string caption, std::function<void()> onClick);
  // A checkable item: a choice turns its mark over, then tells `onToggle` the new state.
  void AddCheckItem(std::string caption, bool checked, std::function<void(bool)> onToggle);
  // Sets the mark of the item with that caption (the program changed the setting itself).
  void SetChecked(const std::string& caption, bool checked);
  // The position of the item with that caption; Menu().size() when there is none.
  std::size_t MenuIndex(const std::string& caption) const;

  // Hides the window into the notification area (minimises it where there is none), then
  // runs OnMinimize.
  void Minimize();
  // Shows the window again, brings it to the front, then runs OnRestore.
  void Restore();
  // Whether the window is put away by Minimize and not restored yet.
  bool InTray() const { return inTray_; }
  bool TrayAvailable() const;

  std::function<void(TrayIcon&)> OnMinimize;
  std::function<void(TrayIcon&)> OnRestore;

  // Desktop input (backend or test); exceptions go to the error box.
  void InputDoubleClick();
  void InputMenuChoice(std::size_t index);

 private:
  void Changed();

  Application& app_;
  Window& window_;
  std::string hint_;
  bool visible_ = true;
  bool inTray_ = false;
  std::shared_ptr<const Bitmap> icon_;
  std::vector<MenuItem> menu_;
  std::unique_ptr<TrayHost> host_;
};

}  // namespace ui
