#pragma once

#include <cstdint>
#include <functional>

#include "device/monitor_connection.h"
#include "device/worker_pool.h"
#include "platform/hid/hid_bus.h"
#include "platform/ui/application.h"
#include "platform/ui/timer.h"
#include "platform/ui/window.h"
#include "session/monitor_session.h"

namespace mainwindow {

// Follows the PSU controller as it comes and goes once the window runs: connects on its
// arrival (again once a second, five times, when that fails), disconnects on its removal, and
// marks the connection lost when a worker could not start. The connection state lives in the
// session. UI thread only.
class DeviceFollower {
 public:
  DeviceFollower(ui::Application& app, platform::HidBus& bus, ui::Window& window,
                 device::MonitorConnection& connection, device::WorkerPool& workers,
                 session::MonitorSession& session, std::function<void()> connectionLost);

  // A device appeared or vanished somewhere on the machine.
  void DeviceChanged();
  // The restart message: a worker that could not start left the device not connected; a new
  // one connects it.
  void RestartWorker();
  // The worker of `generation` could not start.
  void StartFailed(std::uint64_t generation);
  ui::Timer& TimerReconnect() { return timerReconnect_; }

 private:
  bool Present() const;
  // Connects after a device arrival; returns whether the device is now connected.
  bool Reconnect();
  void TimerReconnectTimer();

  platform::HidBus& bus_;
  ui::Window& window_;
  device::MonitorConnection& connection_;
  device::WorkerPool& workers_;
  session::MonitorSession& session_;
  std::function<void()> connectionLost_;
  ui::Timer timerReconnect_;
  int reconnectTriesLeft_ = 0;
};

}  // namespace mainwindow
