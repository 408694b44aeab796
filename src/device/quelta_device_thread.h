#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "device/calibration_table.h"
#include "device/command_requests.h"
#include "device/cycle_pause.h"
#include "device/device_command.h"
#include "device/device_ready.h"
#include "device/monitor_protocol.h"
#include "device/reading_set.h"
#include "device/sleeper.h"
#include "device/worker_handovers.h"
#include "device/worker_lifecycle.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/event_loop.h"

namespace device {

// Everything a worker works with. All of it must outlive the worker, except the hand-overs,
// which the owner may drop at any time (a hand-over posted after that is skipped).
struct WorkerContext {
  platform::HidBus& bus;
  // Machine-wide, among all processes: held for each cycle's exchanges, so replies never
  // reach another program's handles mid-exchange.
  platform::NamedMutex& accessMutex;
  DeviceReady& ready;  // the connection owner's; this worker changes it for its generation only
  std::uint64_t generation = 0;  // from DeviceReady::BeginGeneration
  Sleeper& reportSleeper;        // the 2 ms pauses after each report
  CyclePause& cyclePause;        // the pause between cycles
  ui::EventLoop& loop;           // where the hand-overs run
  std::weak_ptr<const WorkerHandovers> handovers;
  std::chrono::milliseconds cycleInterval{3000};
};

// The thread that owns the monitor device while connected: reads reference, calibration and
// power rating once, then every cycle (under the access mutex, with freshly opened handles)
// runs the pending command or polls every group, handing each good group to the UI thread.
// Hand-overs are posted, never waited for, so the worker never blocks on the UI thread while
// it holds the access mutex. Its life is one WorkerState (see worker_lifecycle.h).
class TQueltaDeviceThread final : public CommandRequests {
 public:
  // Starts running at once.
  explicit TQueltaDeviceThread(WorkerContext context);
  TQueltaDeviceThread(const TQueltaDeviceThread&) = delete;
  TQueltaDeviceThread& operator=(const TQueltaDeviceThread&) = delete;
  // Abandons and joins.
  ~TQueltaDeviceThread();

  // Asks the worker to end after the cycle in progress and its pause (Terminating); it then
  // hands over ConnectionRemoved. Any thread.
  void Terminate();
  // Ends the worker as soon as possible for the end of the program (Abandoned): cuts the
  // pause short and hands over nothing more. Any thread.
  void Abandon();
  // Waits until the thread has ended (after Terminate or Abandon, or an early end).
  void Join();
  WorkerState State() const { return lifecycle_.State(); }
  bool Finished() const { return lifecycle_.Finished(); }
  std::uint64_t Generation() const { return context_.generation; }

  // The request setters (UI thread) come with CommandRequests. Each replaces a command of its
  // own kind not yet taken (other kinds stay pending and run in the order placed, one per
  // cycle) and does nothing while the device is not ready or once the worker has finished.
  // They return whether the command was accepted.
  bool Place(const DeviceCommand& command) override;

 private:
  void Execute();
  bool StartUp();  // false when the worker could not start (no handles, no reference)
  void PollLoop();
  void End(bool started);

  bool AcquireAccess();
  void ReopenHandles();
  void CloseHandles();
  void RunCommand(const DeviceCommand& command, MonitorProtocol& protocol);
  void CommandFailed(DeviceCommand::Code code, std::string cause);
  void Trim(MonitorProtocol& protocol, TrimRail rail, float target);
  void Poll(MonitorProtocol* protocol);
  void ReadAll(MonitorProtocol* protocol);

  void HandOver(bool guarded, std::function<void(const WorkerHandovers&)> call);
  // The readings' groups are handed over only inside a poll.
  void HandOverReadings(bool guarded,
                        std::function<void(const ReadingSet&)> WorkerHandovers::*which);
  // A hand-over that runs only while the owner keeps its hand-overs (and, when guarded, while
  // the device is ready as it runs).
  std::function<void()> Guarded(bool guarded,
                                std::function<void(const WorkerHandovers&)> call) const;
  void Collect(bool guarded, std::function<void(const WorkerHandovers&, const ReadingSet&)> call);

  WorkerContext context_;
  PendingCommands commands_;   // placed by the UI thread, taken by the worker
  WorkerLifecycle lifecycle_;  // the worker's state, moved by it and by Terminate and Abandon

  // Worker thread only.
  std::unique_ptr<platform::HidHandle> readHandle_;
  std::unique_ptr<platform::HidHandle> writeHandle_;
  ReadingSet readings_;
  CalibrationTable calibration_;
  struct Marks {
    bool voltage = false, current = false, watt = false, fan = false, temperature = false;
    bool All() const { return voltage && current && watt && fan && temperature; }
  } marks_;
  // While a poll runs, its hand-overs wait here and go to the UI thread together at its end,
  // in order, with one copy of the readings as the poll left them: the window wakes once per
  // poll, not once per group, and each group reads its own fields of that copy.
  bool collecting_ = false;
  std::vector<std::function<void(const ReadingSet&)>> collected_;

  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace device
