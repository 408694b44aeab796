#pragma once

namespace ui {

// The backend's side of the notification-area icon.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // Whether the desktop has a notification area at all.
  virtual bool Available() const = 0;
  // Hint, icon, menu or visibility changed.
  virtual void Changed() = 0;
};

}  // namespace ui
