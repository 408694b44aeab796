#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/hid/hid_handle.h"

namespace device {

using Bytes = std::vector<std::uint8_t>;

// A PSU controller stand-in for protocol tests: records every report written and queues
// whatever `respond` answers to it (nothing: the next read fails as a time-out would).
// Replies queued with Stale are already waiting before any request.
class FakeMonitor : public platform::HidHandle {
 public:
  std::function<std::optional<Bytes>(const Bytes& request)> respond;
  std::vector<Bytes> written;
  std::size_t reads = 0;
  bool writesFail = false;

  std::size_t Write(std::span<const std::uint8_t> report) override {
    written.emplace_back(report.begin(), report.end());
    if (writesFail) return 0;
    if (respond) {
      if (std::optional<Bytes> reply = respond(written.back())) queue_.push_back(*reply);
    }
    return report.size();
  }
  std::size_t Read(std::span<std::uint8_t> buffer) override {
    ++reads;
    if (queue_.empty()) return 0;
    const Bytes reply = queue_.front();
    queue_.pop_front();
    if (reply.size() > buffer.size()) return 0;
    std::copy(reply.begin(), reply.end(), buffer.begin());
    return reply.size();
  }
  std::size_t ReadWaiting(std::span<std::uint8_t> buffer) override {
    if (queue_.empty()) return 0;
    discarded.push_back(queue_.front());
    queue_.pop_front();
    std::copy(discarded.back().begin(), discarded.back().end(), buffer.begin());
    return discarded.back().size();
  }
  std::optional<platform::HidCapabilities> Capabilities() override {
    return platform::HidCapabilities{9, 6};
  }
  void Stale(const Bytes& reply) { queue_.push_back(reply); }
  std::vector<Bytes> discarded;  // taken by ReadWaiting, in order

  // The command codes written so far, in order.
  std::vector<std::uint8_t> Codes() const {
    std::vector<std::uint8_t> codes;
    for (const Bytes& report : written) codes.push_back(report.size() > 1 ? report[1] : 0xFF);
    return codes;
  }

 private:
  std::deque<Bytes> queue_;
};

// A good reply: report id 0 and the eight data bytes.
inline Bytes Reply(std::uint8_t d1 = 0, std::uint8_t d2 = 0, std::uint8_t d3 = 0,
                   std::uint8_t d4 = 0, std::uint8_t d5 = 0, std::uint8_t d6 = 0,
                   std::uint8_t d7 = 0, std::uint8_t d8 = 0) {
  return {0x00, d1, d2, d3, d4, d5, d6, d7, d8};
}

}  // namespace device
