#include "sim/simulated_devices.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/hid/hid_handle.h"
#include "platform/hid/instance_id_text.h"
#include "sim/sim_identity.h"

namespace sim {
namespace {

constexpr char kPathPrefix[] = "sim:hid/";
// A HID device buffers this many unread input reports per handle, then drops the oldest.
constexpr std::size_t kQueuedReports = 32;
constexpr std::size_t kMonitorCode = 1;  // command code in an output report
constexpr std::uint8_t kReportId = 0x00;
constexpr std::size_t kShortReplyLength = 3;

constexpr char kRootDeviceId[] = "ROOT\\SIM\\0000";
constexpr char kMonitorUsbSuffix[] = "SIM0001";
constexpr char kMonitorHidSuffix[] = "7&SIM&0&0000";
constexpr char kGaugeUsbSuffix[] = "SIM0002";
constexpr char kGaugeHidSuffix[] = "7&SIM&1&0000";

std::string PathOf(int index) {
  return kPathPrefix + std::to_string(index);
}

std::string OtherSuffix(int index) {
  return "8&SIM&" + std::to_string(index);
}

std::uint16_t OtherProductId(int index) {
  return static_cast<std::uint16_t>(kOtherFirstProductId + index);
}

std::string UsbId(std::uint16_t vendorId, std::uint16_t productId, const std::string& suffix) {
  std::array<char, 24> ids{};
  std::snprintf(ids.data(), ids.size(), "VID_%04X&PID_%04X", vendorId, productId);
  return std::string("USB\\") + ids.data() + "\\" + suffix;
}

platform::HidInterfaceInfo OtherInterface(int index) {
  return {PathOf(index), kOtherVendorId, OtherProductId(index),
          platform::HidInstanceId(kOtherVendorId, OtherProductId(index), OtherSuffix(index))};
}

}  // namespace

SimulatedDevices::SimulatedDevices(Scenario scenario, Options options)
    : options_(std::move(options)),
      scenario_(std::move(scenario)),
      psu_(scenario_.monitor.seed, scenario_.monitor.rating, scenario_.monitor.noise),
      // A device that vanishes after 0 reports is never there.
      monitorPresent_(scenario_.monitor.present && scenario_.monitor.unplugAfter != 0u),
      gaugePresent_(scenario_.gauge.present) {}

// Listing order: unrelated interfaces first, then the PSU controller, then the gauge.
std::optional<SimulatedDevices::Kind> SimulatedDevices::KindOfPath(const std::string& path) const {
  const std::string prefix = kPathPrefix;
  if (path.rfind(prefix, 0) != 0) return std::nullopt;
  const std::string digits = path.substr(prefix.size());
  if (digits.empty() || digits.size() > 6 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int index = std::stoi(digits);
  const int extras = scenario_.bus.extraInterfaces;
  if (index < extras) return Kind::Other;
  if (index == extras) return Kind::Monitor;
  if (index == extras + 1) return Kind::Gauge;
  return std::nullopt;
}

std::vector<platform::HidInterfaceInfo> SimulatedDevices::Interfaces() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<platform::HidInterfaceInfo> interfaces;
  const int extras = scenario_.bus.extraInterfaces;
  for (int i = 0; i < extras; ++i) interfaces.push_back(OtherInterface(i));
  if (monitorPresent_) {
    interfaces.push_back(
        {PathOf(extras), kVendorId, kMonitorProductId,
         platform::HidInstanceId(kVendorId, kMonitorProductId, kMonitorHidSuffix)});
  }
  if (gaugePresent_) {
    interfaces.push_back({PathOf(extras + 1), kVendorId, kGaugeProductId,
                          platform::HidInstanceId(kVendorId, kGaugeProductId, kGaugeHidSuffix)});
  }
  return interfaces;
}

std::vector<std::optional<std::string>> SimulatedDevices::PresentDeviceIds() const {
  // HidBus::PresentDeviceIds lists devices of every class: each USB device appears twice,
  // its own "USB\..." id and then its HID interface's "HID\..." id.
  std::vector<std::optional<std::string>> ids{std::string(kRootDeviceId)};
  const std::lock_guard<std::mutex> lock(mutex_);
  for (int i = 0; i < scenario_.bus.unreadableIds; ++i) ids.emplace_back();
  for (int i = 0; i < scenario_.bus.extraInterfaces; ++i) {
    ids.emplace_back(UsbId(kOtherVendorId, OtherProductId(i), OtherSuffix(i)));
    ids.emplace_back(OtherInterface(i).instanceId);
  }
  if (monitorPresent_) {
    ids.emplace_back(UsbId(kVendorId, kMonitorProductId, kMonitorUsbSuffix));
    ids.emplace_back(platform::HidInstanceId(kVendorId, kMonitorProductId, kMonitorHidSuffix));
  }
  if (gaugePresent_) {
    ids.emplace_back(UsbId(kVendorId, kGaugeProductId, kGaugeUsbSuffix));
    ids.emplace_back(platform::HidInstanceId(kVendorId, kGaugeProductId, kGaugeHidSuffix));
  }
  return ids;
}

std::shared_ptr<SimulatedDevices::Endpoint> SimulatedDevices::Attach(const std::string& path,
                                                                     bool readable) {
  const std::optional<Kind> kind = KindOfPath(path);
  if (!kind) return nullptr;
  const std::lock_guard<std::mutex> lock(mutex_);
  if ((*kind == Kind::Monitor && !monitorPresent_) || (*kind == Kind::Gauge && !gaugePresent_)) {
    return nullptr;
  }
  auto endpoint = std::make_shared<Endpoint>();
  endpoint->kind = *kind;
  endpoint->readable = readable;
  if (*kind == Kind::Monitor && readable) {
    for (const auto& data : scenario_.monitor.pendingInput) {
      std::vector<std::uint8_t> report{kReportId};
      report.insert(report.end(), data.begin(), data.end());
      endpoint->reports.push_back(std::move(report));
    }
  }
  std::erase_if(endpoints_, [](const std::weak_ptr<Endpoint>& e) { return e.expired(); });
  endpoints_.push_back(endpoint);
  return endpoint;
}

std::optional<platform::HidCapabilities> SimulatedDevices::Capabilities(
    const Endpoint& endpoint) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (endpoint.dead) return std::nullopt;
  switch (endpoint.kind) {
    case Kind::Monitor:
      return platform::HidCapabilities{kMonitorInputLength, kMonitorOutputLength};
    case Kind::Gauge:
      return platform::HidCapabilities{0, kGaugeOutputLength};
    case Kind::Other:
      break;
  }
  return platform::HidCapabilities{kMonitorInputLength, kMonitorInputLength};
}

bool SimulatedDevices::CountMonitorReport() {
  ++monitorReports_;
  const auto& limit = scenario_.monitor.unplugAfter;
  if (!unplugDone_ && limit && monitorReports_ >= *limit) {
    unplugDone_ = true;
    return SetPresentLocked(Kind::Monitor, false);
  }
  return false;
}

void SimulatedDevices::Deliver(Kind kind, std::vector<std::uint8_t> report) {
  for (const std::weak_ptr<Endpoint>& weak : endpoints_) {
    const std::shared_ptr<Endpoint> endpoint = weak.lock();
    if (!endpoint || endpoint->dead || endpoint->kind != kind || !endpoint->readable) continue;
    if (endpoint->reports.size() == kQueuedReports) endpoint->reports.pop_front();
    endpoint->reports.push_back(report);
  }
}

void SimulatedDevices::ArriveLocked(double clock) {
  // Stable: replies due at the same moment arrive in the order they were sent.
  std::stable_sort(inFlight_.begin(), inFlight_.end(),
                   [](const InFlight& a, const InFlight& b) { return a.arrival < b.arrival; });
  auto due = inFlight_.begin();
  while (due != inFlight_.end() && due->arrival <= clock) {
    Deliver(Kind::Monitor, std::move(due->report));
    ++due;
  }
  inFlight_.erase(inFlight_.begin(), due);
}

bool SimulatedDevices::TakeLocked(Endpoint& endpoint, std::vector<std::uint8_t>& report) {
  if (endpoint.reports.empty()) return false;
  report = std::move(endpoint.reports.front());
  endpoint.reports.pop_front();
  return true;
}

std::size_t SimulatedDevices::Write(Endpoint& endpoint, std::span<const std::uint8_t> report) {
  const double seconds = Seconds();
  std::size_t written = 0;
  bool changed = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (endpoint.dead) return 0;
    switch (endpoint.kind) {
      case Kind::Monitor: {
        if (report.size() == kMonitorOutputLength) {
          const double clock = ClockLocked(seconds);
          ArriveLocked(clock);
          std::array<std::uint8_t, 8> data = psu_.Answer(report, seconds);
          std::vector<std::uint8_t> reply{kReportId};
          reply.insert(reply.end(), data.begin(), data.end());
          const auto fixed = scenario_.monitor.replies.find(report[kMonitorCode]);
          if (fixed != scenario_.monitor.replies.end()) {
            const ReplyOverride& override = fixed->second;
            if (override.kind == ReplyOverride::Kind::Bytes) {
              std::copy(override.data.begin(), override.data.end(), reply.begin() + 1);
            } else {
              reply.resize(override.kind == ReplyOverride::Kind::Short ? kShortReplyLength : 0);
            }
          }
          const auto late = scenario_.monitor.late.find(report[kMonitorCode]);
          if (reply.empty()) {
            // silent: nothing comes
          } else if (late != scenario_.monitor.late.end() && late->second.count() > 0) {
            inFlight_.push_back(
                {clock + std::chrono::duration<double>(late->second).count(), std::move(reply)});
          } else {
            Deliver(Kind::Monitor, std::move(reply));
          }
          written = report.size();
        }
        changed = CountMonitorReport();
        break;
      }
      case Kind::Gauge:
        if (report.size() == kGaugeOutputLength) {
          lastGaugeReport_.emplace(report.begin(), report.end());
          ++gaugeReports_;
          gaugeLog_.emplace_back(report.begin(), report.end());
          if (gaugeLog_.size() > kGaugeLogLength) gaugeLog_.pop_front();
          written = report.size();
        }
        break;
      case Kind::Other:
        written = report.size();
        break;
    }
  }
  if (changed) Notify();
  return written;
}

std::size_t SimulatedDevices::Read(Endpoint& endpoint, std::span<std::uint8_t> buffer) {
  using Duration = std::chrono::duration<double>;
  const Duration timeout = platform::HidHandle::kReadTimeout;
  std::vector<std::uint8_t> report;
  bool changed = false;
  double waitFrom = 0.0;
  // The first late reply that comes before the time-out, counted from the start of the wait.
  std::optional<Duration> awaited;
  {
    const double seconds = Seconds();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (endpoint.dead || !endpoint.readable) return 0;
    waitFrom = ClockLocked(seconds);
    ArriveLocked(waitFrom);
    const bool taken = TakeLocked(endpoint, report);
    // Counted after taking the report: the device vanishes after this read, not before.
    if (endpoint.kind == Kind::Monitor) changed = CountMonitorReport();
    if (!taken && endpoint.kind == Kind::Monitor) {
      for (const InFlight& flight : inFlight_) {
        const Duration after(flight.arrival - waitFrom);
        if (after < timeout && (!awaited || after < *awaited)) awaited = after;
      }
    }
  }
  if (changed) Notify();
  if (report.empty()) {
    const Duration waited = awaited.value_or(timeout);
    if (options_.waitForTimeout) {
      options_.waitForTimeout(std::chrono::round<std::chrono::milliseconds>(waited));
    }
    const double seconds = Seconds();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!options_.waitForTimeout) waitedSeconds_ += waited.count();
    // However the host's clock moved, the wait has lasted this long.
    ArriveLocked(std::max(ClockLocked(seconds), waitFrom + waited.count()));
    // A reply that comes only at the time-out or later is missed: the read has given up.
    if (!awaited || endpoint.dead || !TakeLocked(endpoint, report)) return 0;
  }
  if (report.size() > buffer.size()) return 0;
  std::copy(report.begin(), report.end(), buffer.begin());
  return report.size();
}

std::size_t SimulatedDevices::ReadWaiting(Endpoint& endpoint, std::span<std::uint8_t> buffer) {
  std::vector<std::uint8_t> report;
  bool changed = false;
  {
    const double seconds = Seconds();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (endpoint.dead || !endpoint.readable) return 0;
    ArriveLocked(ClockLocked(seconds));
    if (!TakeLocked(endpoint, report)) return 0;
    if (endpoint.kind == Kind::Monitor) changed = CountMonitorReport();
  }
  if (changed) Notify();
  if (report.size() > buffer.size()) return 0;
  std::copy(report.begin(), report.end(), buffer.begin());
  return report.size();
}

bool SimulatedDevices::SetPresentLocked(Kind kind, bool present) {
  bool& flag = kind == Kind::Monitor ? monitorPresent_ : gaugePresent_;
  if (kind == Kind::Other || flag == present) return false;
  flag = present;
  if (!present) {
    for (const std::weak_ptr<Endpoint>& weak : endpoints_) {
      const std::shared_ptr<Endpoint> endpoint = weak.lock();
      if (endpoint && endpoint->kind == kind) {
        endpoint->dead = true;
        endpoint->reports.clear();
      }
    }
  }
  return true;
}

void SimulatedDevices::SetPresent(Kind kind, bool present) {
  bool changed = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    changed = SetPresentLocked(kind, present);
  }
  if (changed) Notify();
}

void SimulatedDevices::SetListener(std::function<void()> listener) {
  const std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
}

void SimulatedDevices::Notify() {
  std::function<void()> listener;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    listener = listener_;
  }
  if (listener) listener();
}

SimulatedPsu SimulatedDevices::Psu() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return psu_;
}

double SimulatedDevices::Seconds() const {
  return options_.seconds ? options_.seconds() : 0.0;
}

std::uint64_t SimulatedDevices::MonitorReports() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return monitorReports_;
}

std::optional<std::vector<std::uint8_t>> SimulatedDevices::LastGaugeReport() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return lastGaugeReport_;
}

std::uint64_t SimulatedDevices::GaugeReports() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return gaugeReports_;
}

std::vector<std::vector<std::uint8_t>> SimulatedDevices::GaugeReportLog() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return {gaugeLog_.begin(), gaugeLog_.end()};
}

}  // namespace sim
