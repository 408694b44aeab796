#pragma once

#include <cstdint>

namespace platform {

// How a message to the running window went.
enum class MessageDelivery {
  Delivered,     // handed to the window of this user's session
  NoWindow,      // no window of the program's class is there
  NotDelivered,  // there is one, and the system would not hand it the message
};

// Hands one of the program's messages (core/window_message_codes.h) to its running main window:
// on Windows a window message posted to the window of class "Quelta".
class WindowMessageSender {
 public:
  virtual ~WindowMessageSender() = default;
  virtual MessageDelivery Send(std::uint32_t message) = 0;
};

}  // namespace platform
