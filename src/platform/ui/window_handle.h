#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace ui {

class EventLoop;
class Window;

// A numbered message for a window's message handler (the program's own messages and the one a
// dragged display marker posts).
struct Message {
  std::uint32_t id = 0;
  std::intptr_t wParam = 0;
  std::intptr_t lParam = 0;
  friend bool operator==(const Message&, const Message&) = default;
};

// A copyable reference to a window that any thread may hold and post messages through. The
// message is handled on the UI thread; if the window is gone by then, it is dropped. The
// window's event loop must outlive every Post.
class WindowHandle {
 public:
  WindowHandle() = default;

  // Queues the message for the window's handler. Returns false for an empty handle.
  bool Post(const Message& message) const;
  // Queues a routine that runs on the UI thread with the window, if it still exists then.
  bool PostTask(std::function<void(Window&)> task) const;

  explicit operator bool() const { return link_ != nullptr; }
  friend bool operator==(const WindowHandle&, const WindowHandle&) = default;

 private:
  friend class Window;
  struct Link {
    EventLoop* loop;
    Window* window;  // UI thread only: cleared when the window is destroyed
  };
  explicit WindowHandle(std::shared_ptr<Link> link) : link_(std::move(link)) {}

  std::shared_ptr<Link> link_;
};

}  // namespace ui
