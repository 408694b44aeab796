#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/ctl/poll_collector.h"
#include "device/cycle_pause.h"
#include "device/device_ready.h"
#include "device/sleeper.h"
#include "device/worker_pool.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/event_loop.h"

namespace app::ctl {

// Keeps a device worker polling the PSU for as long as the service runs: starts one when the
// PSU is there, lets it go when a poll finds the PSU gone, and starts a fresh one when the PSU
// comes back (on the bus's change notice, and at least once a second while none runs). Every
// poll of every worker reaches `onPoll` in order; what changes in the connection is written
// to `log` once per change. UI thread only, but for the bus's notices.
class ServiceConnection {
 public:
  struct Parts {
    platform::HidBus& bus;
    platform::NamedMutex& accessMutex;
    device::Sleeper& reportSleeper;
    ui::EventLoop& loop;
    std::chrono::milliseconds cycleInterval{3000};
  };

  // `onConnection` is told true when a worker has its rating and false when a worker that had
  // one has ended.
  ServiceConnection(Parts parts, std::function<void(const CompletedPoll&)> onPoll,
                    std::function<void(bool connected)> onConnection, std::ostream& log);
  ServiceConnection(const ServiceConnection&) = delete;
  ServiceConnection& operator=(const ServiceConnection&) = delete;
  // Stops and joins every worker.
  ~ServiceConnection();

  // Tries at once, then keeps trying.
  void Begin();
  // The end of the service: every worker told to end at once, then joined; nothing more is
  // started or told.
  void Stop();

  // The rating of the PSU the running worker polls; 0 while unknown or none runs.
  std::int32_t Rating() const { return rating_; }

 private:
  void TryStart();
  void Poll(const CompletedPoll& poll);
  void Ended();
  void Say(const std::string& state);

  Parts parts_;
  std::function<void(const CompletedPoll&)> onPoll_;
  std::function<void(bool)> onConnection_;
  std::ostream& log_;
  device::DeviceReady ready_;
  device::RealCyclePause pause_;
  device::WorkerPool pool_;
  std::unique_ptr<device::WorkerHandle> worker_;
  std::shared_ptr<device::WorkerHandovers> handovers_;
  std::unique_ptr<PollCollector> collector_;
  ui::EventLoop::TimerId retryTimer_ = 0;
  std::int32_t rating_ = 0;
  bool stopped_ = false;
  std::string said_;  // the last state written to the log
  // Whether the bus notice posted to the loop may still run: the notice can come from
  // another thread after this is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace app::ctl
