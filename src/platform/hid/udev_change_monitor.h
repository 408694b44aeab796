#pragma once

#include <functional>
#include <mutex>
#include <thread>

struct udev;
struct udev_monitor;

namespace platform {

// Watches udev for USB and HID devices that appear or vanish and calls the listener on its
// own thread. Stops and joins in the destructor.
class UdevChangeMonitor {
 public:
  UdevChangeMonitor();
  UdevChangeMonitor(const UdevChangeMonitor&) = delete;
  UdevChangeMonitor& operator=(const UdevChangeMonitor&) = delete;
  ~UdevChangeMonitor();

  // False when udev could not be watched; the listener is then never called.
  bool Running() const { return thread_.joinable(); }
  void SetListener(std::function<void()> listener);

 private:
  void Watch(int monitorFd);
  void NotifyListener();

  int stopFd_ = -1;  // an eventfd that wakes the thread to end it
  udev* context_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  std::mutex listenerMutex_;  // guards listener_
  std::function<void()> listener_;
  std::thread thread_;
};

}  // namespace platform
