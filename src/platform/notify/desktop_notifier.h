#pragma once

#include <string>

namespace platform {

// The desktop's notification service: a short message that pops up and goes by itself.
class DesktopNotifier {
 public:
  virtual ~DesktopNotifier() = default;
  // Hands the message over and returns at once; a desktop that is not there or does not
  // answer loses it quietly (nobody waits for a notification).
  virtual void Notify(const std::string& summary, const std::string& body) = 0;
};

}  // namespace platform
