#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/device_command.h"
#include "device/reading_set.h"

namespace device {

// What the worker hands to the UI thread. Each runs on the UI thread with its own copy of
// the readings; the guarded ones run only while the device is ready at that moment.
// An empty function is skipped.
struct WorkerHandovers {
  std::function<void(std::int32_t powerRating)> PowerRatingReady;  // once, unguarded
  std::function<void(const ReadingSet&)> VoltagesReady;            // guarded
  std::function<void(const ReadingSet&)> CurrentsReady;            // guarded
  std::function<void(const ReadingSet&)> WattReady;                // every poll, unguarded
  std::function<void(const ReadingSet&)> FansReady;                // guarded
  std::function<void(const ReadingSet&)> TempsReady;               // guarded
  std::function<void()> CycleComplete;                             // guarded
  // Last of every poll's hand-overs, after CycleComplete when there is one: the poll is over.
  // Unguarded, as WattReady is, so every poll ends with it.
  std::function<void()> PollEnd;
  std::function<void()> ConnectionRemoved;  // once at its end
  // Right after ConnectionRemoved when the worker could not start (the device did not open,
  // or gave no reference), with its generation, so the owner can tell its current worker
  // from one it has already replaced. Such a worker handed over nothing before.
  std::function<void(std::uint64_t generation)> StartFailed;
  // A rail of a trim command that was not trimmed, or stopped early, and why: "12V reading
  // 0.000 V is not within 10% of 12.0 V: not trimmed". Guarded.
  std::function<void(const std::string& message)> TrimRefused;
  // A command that did not reach the PSU (its write failed, or the PSU could not be opened
  // in the cycle that took it), or a trim that lost its feedback reading midway, with its
  // code and the cause: "PSU fan curve not set: the command did not reach the PSU".
  // Unguarded: the page that placed it learns of it even when the device went away.
  std::function<void(DeviceCommand::Code code, const std::string& cause)> CommandFailed;
};

}  // namespace device
