#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

struct udev;
struct udev_monitor;

namespace platform {

// Watches udev for USB and HID devices that appear or vanish and calls the listener on its
// own thread. Stops and joins in the destructor.
class UdevChangeMonitor {
 public:
  // Where device notices come from: a descriptor that turns readable when one is waiting,
  // and a read of one notice that gives its action ("add", "remove", "change", "bind", ...)
  // or nothing when what was read was no device notice. A source that has hung up and gives
  // nothing more ends the watch.
  struct NoticeSource {
    int fd = -1;
    std::function<std::optional<std::string>()> next;
  };

  // Watches udev's own notices (not the kernel's raw ones, which come before the device node
  // has its permissions).
  UdevChangeMonitor();
  // Watches `source`, which outlives the monitor (tests hand notices over a socket pair).
  explicit UdevChangeMonitor(NoticeSource source);
  UdevChangeMonitor(const UdevChangeMonitor&) = delete;
  UdevChangeMonitor& operator=(const UdevChangeMonitor&) = delete;
  ~UdevChangeMonitor();

  // False when udev could not be watched; the listener is then never called.
  bool Running() const { return thread_.joinable(); }
  // Replaces the listener; an empty one hears nothing. Any thread.
  void SetListener(std::function<void()> listener);

  // Whether a notice with this action changes which devices are present: only "add" and
  // "remove" do ("bind", "change" and the like concern a device that stays).
  static bool ChangesPresence(std::string_view action);

 private:
  void Start(NoticeSource source);
  void Watch(const NoticeSource& source);
  void NotifyListener();

  int stopFd_ = -1;  // an eventfd that wakes the thread to end it
  udev* context_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  std::mutex listenerMutex_;  // guards listener_
  std::function<void()> listener_;
  std::thread thread_;
};

}  // namespace platform
