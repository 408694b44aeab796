#include "platform/messages/win32/find_window_sender.h"

#include <windows.h>

namespace platform {

MessageDelivery FindWindowSender::Send(std::uint32_t message) {
  const HWND window = ::FindWindowA(windowClass_.c_str(), nullptr);
  if (window == nullptr) return MessageDelivery::NoWindow;
  return ::PostMessageA(window, message, 0, 0) ? MessageDelivery::Delivered
                                               : MessageDelivery::NotDelivered;
}

}  // namespace platform
