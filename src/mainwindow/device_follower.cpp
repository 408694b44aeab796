#include "mainwindow/device_follower.h"

#include <chrono>
#include <utility>

#include "device/device_discovery.h"
#include "device/device_identity.h"

namespace mainwindow {
namespace {

constexpr const char* kCaptionConnected = "Connected!";
constexpr const char* kCaptionRemoved = "Removed!";
// After a failed reconnection: once a second, five times. The first notice of a device often
// comes before its hidraw node exists or has its permissions.
constexpr std::chrono::milliseconds kReconnectInterval{1000};
constexpr int kReconnectTries = 5;

}  // namespace

DeviceFollower::DeviceFollower(ui::Application& app, platform::HidBus& bus, ui::Window& window,
                               device::MonitorConnection& connection, device::WorkerPool& workers,
                               session::MonitorSession& session,
                               std::function<void()> connectionLost)
    : bus_(bus),
      window_(window),
      connection_(connection),
      workers_(workers),
      session_(session),
      connectionLost_(std::move(connectionLost)),
      timerReconnect_(app) {
  timerReconnect_.SetInterval(kReconnectInterval);
  timerReconnect_.OnTimer = [this](ui::Timer&) { TimerReconnectTimer(); };
}

bool DeviceFollower::Present() const {
  return device::IsDevicePresent(bus_, device::kMonitorDevice.instanceText);
}

void DeviceFollower::DeviceChanged() {
  const bool present = Present();
  if (present && !session_.Connected()) {
    // "Connected!" only once the connection stands; a failed one is tried again.
    if (!Reconnect()) {
      reconnectTriesLeft_ = kReconnectTries;
      timerReconnect_.SetEnabled(true);
    }
  } else if (!present) {
    timerReconnect_.SetEnabled(false);
    if (session_.Connected()) {
      connectionLost_();
      window_.SetCaption(kCaptionRemoved);
      connection_.DisconnectDevice();
      session_.SetConnected(false);
    }
  }
  workers_.ReapFinished();
}

void DeviceFollower::RestartWorker() {
  if (connection_.RestartWorker()) session_.SetConnected(Present());
}

void DeviceFollower::StartFailed(std::uint64_t generation) {
  // The current worker could not start: the device is no longer connected, so the next
  // device notice connects again, as does the restart message.
  if (!connection_.IsCurrentWorker(generation)) return;
  connectionLost_();
  session_.SetConnected(false);
  window_.SetCaption(kCaptionRemoved);
}

bool DeviceFollower::Reconnect() {
  if (connection_.ConnectDevice() != device::ConnectResult::Connected) return false;
  timerReconnect_.SetEnabled(false);
  window_.SetCaption(kCaptionConnected);
  session_.SetConnected(true);
  return true;
}

void DeviceFollower::TimerReconnectTimer() {
  if (session_.Connected() || !Present() || reconnectTriesLeft_ <= 0) {
    timerReconnect_.SetEnabled(false);
    return;
  }
  --reconnectTriesLeft_;
  if (!Reconnect() && reconnectTriesLeft_ == 0) timerReconnect_.SetEnabled(false);
}

}  // namespace mainwindow
