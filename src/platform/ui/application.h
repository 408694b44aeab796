#pragma once

#include <exception>
#include <string>
#include <utility>

#include "platform/ui/bitmap_cache.h"

namespace ui {

class Backend;
class Dialogs;
class EventLoop;

// What every window, control and timer of one program shares: the loop, the dialogs, the
// backend and the bitmap cache. It must outlive every window, timer and tray icon made on it.
// An exception that escapes an event handler is shown in the error box and the loop goes on.
class Application {
 public:
  Application(EventLoop& loop, Dialogs& dialogs, Backend& backend);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  EventLoop& Loop() const { return loop_; }
  Dialogs& GetDialogs() const { return dialogs_; }
  Backend& GetBackend() const { return backend_; }
  BitmapCache& Bitmaps() { return bitmaps_; }

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Runs an event handler; what escapes it goes to the error box.
  template <typename Handler>
  void Guard(Handler&& handler) {
    try {
      std::forward<Handler>(handler)();
    } catch (...) {
      ShowException(std::current_exception());
    }
  }

  // Shows the exception's message in the error box.
  void ShowException(std::exception_ptr error);

 private:
  EventLoop& loop_;
  Dialogs& dialogs_;
  Backend& backend_;
  BitmapCache bitmaps_;
  std::string title_;
};

}  // namespace ui
