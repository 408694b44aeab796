#include "platform/ui/window_handle.h"

#include "platform/ui/event_loop.h"
#include "platform/ui/window.h"

namespace ui {

bool WindowHandle::Post(const Message& message) const {
  return PostTask([message](Window& window) { window.DeliverMessage(message); });
}

bool WindowHandle::PostTask(std::function<void(Window&)> task) const {
  if (!link_) return false;
  link_->loop->Post([link = link_, task = std::move(task)] {
    if (link->window) task(*link->window);
  });
  return true;
}

}  // namespace ui
