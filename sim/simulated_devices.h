#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/hid_bus.h"
#include "sim/scenario.h"
#include "sim/simulated_psu.h"

namespace sim {

// Everything on the simulated bus: the PSU controller with its model and scenario, the
// gauge panel, unrelated interfaces, and the open handles' input queues. Shared by the bus
// and every handle it opened; every operation takes one mutex, so the bus may be used from
// several threads. The change listener is called after the mutex is released.
class SimulatedDevices {
 public:
  enum class Kind { Monitor, Gauge, Other };

  // One open handle's end: the input reports delivered to it, as every open handle of a
  // HID device receives its own copy of each report.
  struct Endpoint {
    Kind kind = Kind::Other;
    bool readable = true;
    bool dead = false;  // its device vanished; a handle never comes back to life
    std::deque<std::vector<std::uint8_t>> reports;
  };

  struct Options {
    // Model time in seconds; the default stands still at 0.
    std::function<double()> seconds;
    // Called (outside the mutex) for a read that finds no report, standing for its wait:
    // until the read time-out, or until a late reply arrives within it. A host that gives
    // one lets its model time show the wait; without one the bus counts the waited time into
    // its own clock and returns at once.
    std::function<void(std::chrono::milliseconds)> waitForTimeout;
  };

  SimulatedDevices(Scenario scenario, Options options);

  std::vector<platform::HidInterfaceInfo> Interfaces() const;
  std::vector<std::optional<std::string>> PresentDeviceIds() const;
  // A new endpoint on a present device; null for an unknown path or an absent device.
  std::shared_ptr<Endpoint> Attach(const std::string& path, bool readable);
  std::optional<platform::HidCapabilities> Capabilities(const Endpoint& endpoint) const;
  std::size_t Write(Endpoint& endpoint, std::span<const std::uint8_t> report);
  std::size_t Read(Endpoint& endpoint, std::span<std::uint8_t> buffer);
  // A report already waiting on the endpoint, or 0 at once.
  std::size_t ReadWaiting(Endpoint& endpoint, std::span<std::uint8_t> buffer);

  void SetListener(std::function<void()> listener);
  // Plugs or unplugs a device, as a user would; the listener hears of every change.
  void SetPresent(Kind kind, bool present);

  SimulatedPsu Psu() const;
  double Seconds() const;
  std::uint64_t MonitorReports() const;
  std::optional<std::vector<std::uint8_t>> LastGaugeReport() const;
  std::uint64_t GaugeReports() const;
  // The reports the panel took, oldest first; only the most recent kGaugeLogLength are kept.
  static constexpr std::size_t kGaugeLogLength = 256;
  std::vector<std::vector<std::uint8_t>> GaugeReportLog() const;

 private:
  // Each returns whether presence changed; the caller notifies after unlocking.
  bool SetPresentLocked(Kind kind, bool present);
  bool CountMonitorReport();
  void Deliver(Kind kind, std::vector<std::uint8_t> report);
  // The reply clock: model time plus the read waits the bus counted itself.
  double ClockLocked(double seconds) const { return seconds + waitedSeconds_; }
  // Delivers every late reply whose time has come by `clock`, in the order they arrive.
  void ArriveLocked(double clock);
  // Takes the endpoint's oldest report; false when none waits.
  bool TakeLocked(Endpoint& endpoint, std::vector<std::uint8_t>& report);
  void Notify();
  std::optional<Kind> KindOfPath(const std::string& path) const;

  const Options options_;
  const Scenario scenario_;
  mutable std::mutex mutex_;  // guards everything below
  SimulatedPsu psu_;
  bool monitorPresent_;
  bool gaugePresent_;
  bool unplugDone_ = false;
  std::uint64_t monitorReports_ = 0;
  std::optional<std::vector<std::uint8_t>> lastGaugeReport_;
  std::uint64_t gaugeReports_ = 0;
  std::deque<std::vector<std::uint8_t>> gaugeLog_;
  std::vector<std::weak_ptr<Endpoint>> endpoints_;
  // Replies on their way that arrive later than their request (scenario "late").
  struct InFlight {
    double arrival = 0.0;  // on the reply clock
    std::vector<std::uint8_t> report;
  };
  std::vector<InFlight> inFlight_;
  double waitedSeconds_ = 0.0;
  std::function<void()> listener_;
};

}  // namespace sim
