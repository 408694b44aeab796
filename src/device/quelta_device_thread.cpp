#include "device/quelta_device_thread.h"

#include <exception>
#include <utility>

#include "device/conversions.h"
#include "device/device_discovery.h"
#include "device/monitor_protocol.h"

namespace device {
namespace {

// While another holder has the access mutex the worker looks again this often; in between
// it sleeps on a condition that a termination request cuts short.
constexpr std::chrono::milliseconds kLockRetry{5};

std::string CommandName(DeviceCommand::Code code) {
  switch (code) {
    case DeviceCommand::Trim:
      return "Output trim not done";
    case DeviceCommand::Led:
      return "LED not switched";
    case DeviceCommand::PsuFanCurve:
      return "PSU fan curve not set";
    case DeviceCommand::SystemFanCurve:
      return "System fan curve not set";
    case DeviceCommand::Poll:
      break;
  }
  return "Command";
}

std::string NotDelivered(DeviceCommand::Code code) {
  return CommandName(code) + ": the command did not reach the PSU";
}

}  // namespace

TQueltaDeviceThread::TQueltaDeviceThread(WorkerContext context)
    : context_(std::move(context)), thread_([this] { Execute(); }) {}

TQueltaDeviceThread::~TQueltaDeviceThread() {
  Abandon();
  Join();
}

void TQueltaDeviceThread::Terminate() {
  lifecycle_.MoveTo(WorkerState::Terminating);
}

void TQueltaDeviceThread::Abandon() {
  lifecycle_.MoveTo(WorkerState::Abandoned);
}

void TQueltaDeviceThread::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

bool TQueltaDeviceThread::Place(const DeviceCommand& command) {
  if (!context_.ready.IsSet() || lifecycle_.Finished()) return false;
  commands_.Place(command);
  return true;
}

void TQueltaDeviceThread::Execute() {
  // A worker that cannot start (no handles, no reference) ends as a removal does, so the
  // window hears of it and a restart or the next device notice starts a new one.
  const bool started = StartUp();
  if (started) {
    lifecycle_.MoveTo(WorkerState::Polling);  // refused when asked to end meanwhile
    PollLoop();
  }
  End(started);
  lifecycle_.MoveTo(WorkerState::Finished);
}

bool TQueltaDeviceThread::StartUp() {
  if (!AcquireAccess()) return true;  // asked to end: the poll loop sees it and ends

  ReopenHandles();
  if (!readHandle_ || !writeHandle_) {
    context_.accessMutex.Unlock();
    return false;
  }
  // Once the program ends, the exchanges left are given up: the window waits for this thread.
  MonitorProtocol protocol(*writeHandle_, *readHandle_, context_.reportSleeper, readings_,
                           calibration_, lifecycle_.AbandonToken());
  // The reference comes first: it scales every voltage. Without it the worker ends.
  if (!protocol.ReadReference()) {
    context_.accessMutex.Unlock();
    return false;
  }
  protocol.ReadCalibration();
  if (protocol.ReadPowerRating(RatingMapping::Worker)) context_.ready.SetFor(context_.generation);
  const std::int32_t rating = readings_.PowerRating;
  HandOver(false, [rating](const WorkerHandovers& to) {
    if (to.PowerRatingReady) to.PowerRatingReady(rating);
  });
  context_.accessMutex.Unlock();
  return true;
}

void TQueltaDeviceThread::PollLoop() {
  while (!lifecycle_.EndRequested()) {
    if (!context_.ready.IsSet()) {
      context_.ready.WaitUntilSet(lifecycle_.EndToken());
      continue;
    }
    if (!AcquireAccess()) continue;

    // Fresh handles every cycle, so a device that was plugged in again is picked up.
    ReopenHandles();
    const DeviceCommand command = commands_.Take();
    if (readHandle_ && writeHandle_) {
      MonitorProtocol protocol(*writeHandle_, *readHandle_, context_.reportSleeper, readings_,
                               calibration_, lifecycle_.AbandonToken());
      if (command.code == DeviceCommand::Poll) {
        Poll(&protocol);
      } else {
        RunCommand(command, protocol);
      }
    } else if (command.code == DeviceCommand::Poll) {
      Poll(nullptr);  // every group fails; the watt hand-over still runs
    } else {
      CommandFailed(command.code, CommandName(command.code) + ": the PSU could not be opened");
    }
    context_.accessMutex.Unlock();

    context_.cyclePause.Wait(context_.cycleInterval, lifecycle_.AbandonToken());
  }
}

void TQueltaDeviceThread::End(bool started) {
  CloseHandles();
  if (lifecycle_.Abandoned()) {
    // The program is ending: nothing more is handed over.
    context_.ready.ClearFor(context_.generation);
    return;
  }
  // The ready flag is cleared on the UI thread, behind the hand-overs this worker has already
  // posted, so they still find the device ready, as they would have had the worker waited for
  // each. Only for this worker's generation: a successor's ready state stays untouched.
  context_.loop.Post([handovers = context_.handovers, ready = &context_.ready,
                      generation = context_.generation, started] {
    const std::shared_ptr<const WorkerHandovers> to = handovers.lock();
    if (!to) return;  // the owner, and with it the ready flag, is gone
    ready->ClearFor(generation);
    if (to->ConnectionRemoved) to->ConnectionRemoved();
    if (!started && to->StartFailed) to->StartFailed(generation);
  });
}

bool TQueltaDeviceThread::AcquireAccess() {
  while (!lifecycle_.EndRequested()) {
    if (context_.accessMutex.TryLock()) return true;
    lifecycle_.Sleep(kLockRetry);
  }
  return false;
}

void TQueltaDeviceThread::ReopenHandles() {
  CloseHandles();
  readHandle_ = OpenMonitorDevice(context_.bus);
  writeHandle_ = OpenMonitorDevice(context_.bus);
}

void TQueltaDeviceThread::CloseHandles() {
  readHandle_.reset();
  writeHandle_.reset();
}

void TQueltaDeviceThread::RunCommand(const DeviceCommand& command, MonitorProtocol& protocol) {
  switch (command.code) {
    case DeviceCommand::Trim:
      if (command.Enable12V) Trim(protocol, TrimRail::V12, command.Target12V);
      if (command.Enable5V) Trim(protocol, TrimRail::V5, command.Target5V);
      if (command.Enable33V) Trim(protocol, TrimRail::V33, command.Target33V);
      break;
    case DeviceCommand::Led:
      if (!protocol.SetLed(command.LedOn)) CommandFailed(command.code, NotDelivered(command.code));
      break;
    case DeviceCommand::PsuFanCurve:
      if (!protocol.SetPsuFanCurve(command.FanStartVolts, command.FanTemperature))
        CommandFailed(command.code, NotDelivered(command.code));
      break;
    case DeviceCommand::SystemFanCurve:
      if (!protocol.SetSystemFanCurve(command.FanStartVolts, command.FanTemperature,
                                      command.SensorCode)) {
        CommandFailed(command.code, NotDelivered(command.code));
      }
      break;
    case DeviceCommand::Poll:
      break;
  }
}

void TQueltaDeviceThread::Trim(MonitorProtocol& protocol, TrimRail rail, float target) {
  // The protocol refuses a target beyond 10 % of nominal, an implausible reading or reference,
  // and stops on a reading that does not move; the UI learns which rail and why.
  const TrimResult result = protocol.TrimOutput(rail, target);
  if (result.feedbackLost) {
    CommandFailed(DeviceCommand::Trim, std::string(RailName(rail)) +
                                           ": the voltages could not be read after step " +
                                           std::to_string(result.steps) + ": trim stopped");
    return;
  }
  if (result.stop == TrimStop::None) return;
  HandOver(true, [message = TrimStopMessage(rail, target, result)](const WorkerHandovers& to) {
    if (to.TrimRefused) to.TrimRefused(message);
  });
}

void TQueltaDeviceThread::CommandFailed(DeviceCommand::Code code, std::string cause) {
  HandOver(false, [code, cause = std::move(cause)](const WorkerHandovers& to) {
    if (to.CommandFailed) to.CommandFailed(code, cause);
  });
}

void TQueltaDeviceThread::Poll(MonitorProtocol* protocol) {
  collecting_ = true;
  struct Send {
    TQueltaDeviceThread& worker;
    ~Send() {
      worker.collecting_ = false;
      if (worker.collected_.empty()) return;
      // The poll's end closes every batch, so its taker learns once that the poll is over.
      worker.Collect(false, [](const WorkerHandovers& to, const ReadingSet&) {
        if (to.PollEnd) to.PollEnd();
      });
      // One copy of the readings per poll: every group's hand-over reads its own fields of it.
      worker.context_.loop.Post(
          [calls = std::move(worker.collected_), readings = worker.readings_] {
            // As separate posts would: a hand-over that throws stops none of the others, and
            // what it threw still reaches the loop.
            std::exception_ptr first;
            for (const auto& call : calls) {
              try {
                call(readings);
              } catch (...) {
                if (!first) first = std::current_exception();
              }
            }
            if (first) std::rethrow_exception(first);
          });
      worker.collected_.clear();
    }
  } send{*this};
  ReadAll(protocol);
}

void TQueltaDeviceThread::ReadAll(MonitorProtocol* protocol) {
  if (protocol && protocol->ReadVoltages()) {
    HandOverReadings(true, &WorkerHandovers::VoltagesReady);
    marks_.voltage = true;
  }
  if (protocol && protocol->ReadCurrents()) {
    HandOverReadings(true, &WorkerHandovers::CurrentsReady);
    marks_.current = true;
  }
  // The total is worked out from the latest values every cycle, good reads or not.
  readings_.WattTotal = WattTotal(readings_);
  HandOverReadings(false, &WorkerHandovers::WattReady);
  marks_.watt = true;
  if (protocol && protocol->ReadFans()) {
    HandOverReadings(true, &WorkerHandovers::FansReady);
    marks_.fan = true;
  }
  if (protocol && protocol->ReadSensorTemps() && protocol->ReadPsuTemp()) {
    HandOverReadings(true, &WorkerHandovers::TempsReady);
    marks_.temperature = true;
  }
  // The marks are never cleared: once every group has been read, every poll completes.
  if (marks_.All() && context_.ready.IsSet()) {
    HandOver(true, [](const WorkerHandovers& to) {
      if (to.CycleComplete) to.CycleComplete();
    });
  }
}

void TQueltaDeviceThread::HandOver(bool guarded, std::function<void(const WorkerHandovers&)> call) {
  if (collecting_) {
    Collect(guarded,
            [call = std::move(call)](const WorkerHandovers& to, const ReadingSet&) { call(to); });
    return;
  }
  context_.loop.Post(
      Guarded(guarded, [call = std::move(call)](const WorkerHandovers& to) { call(to); }));
}

std::function<void()> TQueltaDeviceThread::Guarded(
    bool guarded, std::function<void(const WorkerHandovers&)> call) const {
  return
      [handovers = context_.handovers, ready = &context_.ready, guarded, call = std::move(call)] {
        // The owner may be gone (the program is ending): then nothing runs, and the ready flag,
        // which lives with the owner, is not touched either.
        const std::shared_ptr<const WorkerHandovers> to = handovers.lock();
        if (!to) return;
        if (guarded && !ready->IsSet()) return;
        call(*to);
      };
}

void TQueltaDeviceThread::Collect(
    bool guarded, std::function<void(const WorkerHandovers&, const ReadingSet&)> call) {
  collected_.emplace_back([handovers = context_.handovers, ready = &context_.ready, guarded,
                           call = std::move(call)](const ReadingSet& readings) {
    const std::shared_ptr<const WorkerHandovers> to = handovers.lock();
    if (!to) return;
    if (guarded && !ready->IsSet()) return;
    call(*to, readings);
  });
}

void TQueltaDeviceThread::HandOverReadings(
    bool guarded, std::function<void(const ReadingSet&)> WorkerHandovers::*which) {
  // Only while a poll collects: the poll's one copy of the readings goes with its batch.
  Collect(guarded, [which](const WorkerHandovers& to, const ReadingSet& readings) {
    if (to.*which) (to.*which)(readings);
  });
}

}  // namespace device
