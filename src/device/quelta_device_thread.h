#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <thread>

#include "device/calibration_table.h"
#include "device/cycle_pause.h"
#include "device/device_command.h"
#include "device/device_ready.h"
#include "device/monitor_protocol.h"
#include "device/reading_set.h"
#include "device/sleeper.h"
#include "device/worker_handovers.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/event_loop.h"

namespace device {

// Everything a worker works with. All of it must outlive the worker, except the hand-overs,
// which the owner may drop at any time (a hand-over posted after that is skipped).
struct WorkerContext {
  platform::HidBus& bus;
  platform::NamedMutex& accessMutex;
  DeviceReady& ready;
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
// it holds the access mutex.
class TQueltaDeviceThread {
 public:
  // Starts running at once.
  explicit TQueltaDeviceThread(WorkerContext context);
  TQueltaDeviceThread(const TQueltaDeviceThread&) = delete;
  TQueltaDeviceThread& operator=(const TQueltaDeviceThread&) = delete;
  // Abandons and joins.
  ~TQueltaDeviceThread();

  // Asks the worker to end after the cycle in progress and its pause; it then hands over
  // ConnectionRemoved. Any thread.
  void Terminate();
  // Ends the worker as soon as possible for the end of the program: cuts the pause short and
  // hands over nothing more. Any thread.
  void Abandon();
  // Waits until the thread has ended (after Terminate or Abandon, or an early end).
  void Join();
  bool Finished() const { return finished_.load(); }
  bool TerminateRequested() const { return terminate_.stop_requested(); }
  std::uint64_t Generation() const { return context_.generation; }

  // Command setters (UI thread). Each replaces a command of its own kind not yet taken (other
  // kinds stay pending and run in the order placed, one per cycle) and does nothing while the
  // device is not ready. They return whether the command was accepted.
  bool RequestTrim(float target12V, bool enable12V, float target5V, bool enable5V, float target33V,
                   bool enable33V);
  bool RequestLed(bool on);
  bool RequestPsuFanCurve(float startVolts, std::int32_t temperature);
  bool RequestSystemFanCurve(float startVolts, std::int32_t temperature, std::int32_t sensorCode);
  bool Place(const DeviceCommand& command);

 private:
  void Execute();
  bool StartUp();  // false when the thread must end at once (no handles, no reference)
  void PollLoop();
  void End();

  bool AcquireAccess();
  void ReopenHandles();
  void CloseHandles();
  void RunCommand(const DeviceCommand& command, MonitorProtocol& protocol);
  void Trim(MonitorProtocol& protocol, TrimRail rail, float target);
  void Poll(MonitorProtocol* protocol);

  void HandOver(bool guarded, std::function<void(const WorkerHandovers&)> call);
  void HandOverReadings(bool guarded,
                        std::function<void(const ReadingSet&)> WorkerHandovers::*which);

  WorkerContext context_;
  PendingCommands commands_;
  std::stop_source terminate_;  // a termination request; Abandon requests it too
  std::stop_source abandon_;    // the end of the program
  std::atomic<bool> finished_{false};

  // Worker thread only.
  std::unique_ptr<platform::HidHandle> readHandle_;
  std::unique_ptr<platform::HidHandle> writeHandle_;
  ReadingSet readings_;
  CalibrationTable calibration_;
  struct Marks {
    bool voltage = false, current = false, watt = false, fan = false, temperature = false;
    bool All() const { return voltage && current && watt && fan && temperature; }
  } marks_;

  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace device
