#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

#include "device/command_requests.h"
#include "device/device_ready.h"
#include "device/sleeper.h"
#include "device/startup_probe.h"
#include "device/worker_handle.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"

namespace device {

enum class ConnectResult {
  Connected,
  NotOpened,      // the monitor device was not found or did not open (twice)
  NoAccessMutex,  // the machine-wide mutex could not be obtained
  ProbeFailed,    // the start-up probe got no good reference or power-rating reply
  LockBusy,       // another holder kept the access mutex beyond the probe's wait
};

// The connecting side of the monitor device, owned by the main window: ConnectDevice and
// DisconnectDevice, and the worker they start and stop. The worker itself is made by the
// injected starter, which receives the access mutex and the worker's ready generation.
// Everything here runs on one thread (the UI thread), but for the probe ahead, which keeps to
// its own thread until ConnectDevice takes its result. No call waits for a worker.
class MonitorConnection final : public CommandRequests {
 public:
  using MutexOpener = std::function<platform::NamedMutex::OpenResult()>;
  using WorkerStarter = std::function<std::unique_ptr<WorkerHandle>(
      platform::NamedMutex& accessMutex, std::uint64_t generation)>;

  MonitorConnection(platform::HidBus& bus, Sleeper& sleeper, DeviceReady& ready,
                    MutexOpener openMutex, WorkerStarter startWorker);
  MonitorConnection(const MonitorConnection&) = delete;
  MonitorConnection& operator=(const MonitorConnection&) = delete;
  ~MonitorConnection();

  // Obtains the access mutex (once; it is kept for the life of the connection), runs the
  // start-up probe under it on read and write handles opened only once the lock is held, and
  // on success starts a worker. The handles are closed again in every case: the worker opens
  // its own.
  // A worker still remembered from before is told to stop first.
  ConnectResult ConnectDevice();

  // Begins ConnectDevice on a thread of its own, so the caller can make its window meanwhile:
  // opening the device, obtaining the access mutex and the start-up probe, which spends most
  // of its time in the pauses after each report. The next ConnectDevice waits for it and
  // finishes on the calling thread (the worker starts there). Nothing touches this connection
  // in between but AwaitProbeLock and AccessMutexHolder. Does nothing while there is a
  // worker, or a probe ahead under way. The probe ahead waits for the access mutex without
  // limit, however long another holder keeps it, until the connection is destroyed; when it
  // has finished it calls `finished` on its own thread (to post to the caller's).
  void ProbeAhead(std::function<void()> finished = {});
  // Waits at most `limit` until the probe ahead holds the access mutex or has finished;
  // true then, or when there is no probe ahead. False: someone else holds the mutex.
  bool AwaitProbeLock(std::chrono::milliseconds limit);
  // Who holds the access mutex, as its lock file names them; nothing when no one is named
  // or the mutex has not been obtained.
  std::optional<platform::LockHolder> AccessMutexHolder() const;

  // How long a probe run by ConnectDevice itself waits for the access mutex before it gives
  // up with LockBusy; without limit unless set.
  void SetLockWait(std::chrono::milliseconds limit) { lockWait_ = limit; }

  // Tells the worker to stop, forgets it and clears the ready flag (all only when there is
  // a worker).
  void DisconnectDevice();

  // The worker-restart message: when a worker exists, tells it to stop, starts a new one
  // and sets the ready flag. Returns false (and changes nothing) when there is none.
  bool RestartWorker();

  // Places a command with the worker, as do the request setters; nothing happens while the
  // device is not ready or when there is no worker. Returns whether the worker accepted it.
  bool Place(const DeviceCommand& command) override;

  // Whether the worker of that generation is the one remembered. A worker that could not
  // start (its StartFailed hand-over) while still remembered leaves the device not
  // connected.
  bool IsCurrentWorker(std::uint64_t generation) const {
    return worker_ != nullptr && generation == workerGeneration_;
  }

  bool HasWorker() const { return worker_ != nullptr; }
  // The probe's rating, kept until the next probe; 0 until known.
  std::int32_t PowerRating() const { return powerRating_; }
  // Null until a connection attempt obtained it.
  platform::NamedMutex* AccessMutex() const { return accessMutex_.get(); }
  // Why the access mutex could not be obtained, after NoAccessMutex.
  const std::string& AccessMutexError() const { return accessMutexError_; }

 private:
  struct Probed {
    ConnectResult result;
    std::optional<std::int32_t> powerRating;  // when the probe ran
  };
  // ConnectDevice up to the worker's start. The probe ahead obtains the access mutex before
  // its thread starts, and may not touch accessMutex_ on it.
  Probed Probe(const ProbeLockWait& wait, bool mayOpenMutex);
  bool OpenAccessMutex();
  void StartWorker();

  platform::HidBus& bus_;
  Sleeper& sleeper_;
  DeviceReady& ready_;
  const MutexOpener openMutex_;
  const WorkerStarter startWorker_;
  std::unique_ptr<platform::NamedMutex> accessMutex_;
  std::string accessMutexError_;
  std::unique_ptr<WorkerHandle> worker_;
  std::uint64_t workerGeneration_ = 0;  // of worker_
  std::int32_t powerRating_ = 0;
  std::chrono::milliseconds lockWait_ = platform::NamedMutex::kNoLimit;

  // Whether the probe ahead holds the access mutex or has finished, told by its thread.
  std::mutex probeStateMutex_;  // guards the two flags
  std::condition_variable probeStateChanged_;
  bool probeLocked_ = false;
  bool probeDone_ = false;
  std::stop_source probeStop_;      // ends the probe ahead's wait for the mutex
  std::future<Probed> probeAhead_;  // last: its thread uses the members above
};

}  // namespace device
