#pragma once

#include <string>

#include "platform/messages/window_message_sender.h"

namespace platform {

// FindWindowA(class, any title) and PostMessageA(window, message, 0, 0): the message is queued
// for the window's thread and Send does not wait for it to be handled.
class FindWindowSender : public WindowMessageSender {
 public:
  explicit FindWindowSender(std::string windowClass = "Quelta")
      : windowClass_(std::move(windowClass)) {}

  MessageDelivery Send(std::uint32_t message) override;

 private:
  const std::string windowClass_;
};

}  // namespace platform
