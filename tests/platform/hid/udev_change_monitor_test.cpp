#include "platform/hid/udev_change_monitor.h"

#include <gtest/gtest.h>

#include "platform/hid/hidapi_bus.h"

namespace platform {
namespace {

// Whether or not udev can be watched here, setting, replacing and dropping the listener
// and ending the watch must be safe and prompt.
TEST(UdevChangeMonitor, ListenersComeAndGoAndTheWatchEndsPromptly) {
  {
    UdevChangeMonitor monitor;
    monitor.SetListener([] {});
    monitor.SetListener(nullptr);
  }
  HidapiBus bus;
  bus.SetChangeListener([] {});
  bus.SetChangeListener([] {});
  bus.SetChangeListener(nullptr);
}

}  // namespace
}  // namespace platform
