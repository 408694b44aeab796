#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>

namespace device {

// The ready flag that gates polling and command placement, with the number of the worker
// generation it belongs to. One owner: whoever holds the connection (the main window, or
// quelta-ctl watch), which passes it by reference. The connection sets, clears and begins
// generations; a worker sets and clears it for its own generation; hand-overs only read it.
// A worker learns its generation when it is started and sets or clears the flag only for
// that generation, so a replaced worker that ends late never clears its successor's flag.
// Flag and generation live in one atomic word: every change is a single atomic step.
class DeviceReady {
 public:
  // Set at creation, as the program starts.
  DeviceReady() = default;
  DeviceReady(const DeviceReady&) = delete;
  DeviceReady& operator=(const DeviceReady&) = delete;

  bool IsSet() const;
  std::uint64_t Generation() const;

  // Unconditional: the connection's own changes (start-up, disconnect, restart message).
  void Set();
  void Clear();

  // Starts a new worker generation and returns its number; the flag is unchanged.
  std::uint64_t BeginGeneration();

  // Only while `generation` is still the current one; returns whether the flag changed hands.
  bool SetFor(std::uint64_t generation);
  bool ClearFor(std::uint64_t generation);

  // Blocks, without spinning, until the flag is set or `stop` is requested; returns whether
  // the flag is set. Every change of the flag wakes the waiters.
  bool WaitUntilSet(std::stop_token stop) const;

 private:
  static constexpr std::uint64_t kReadyBit = 1;
  static constexpr int kGenerationShift = 1;
  bool ChangeFor(std::uint64_t generation, bool ready);
  void WakeWaiters() const;

  std::atomic<std::uint64_t> state_{kReadyBit};  // generation << 1 | ready
  mutable std::mutex waitMutex_;                 // orders a change against a waiter's check
  mutable std::condition_variable_any changed_;
};

}  // namespace device
