#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace sim {

// A scenario that is not valid: the message names the field ("monitor.replies.21: ...").
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A fixed answer to one command code, in place of the model's.
struct ReplyOverride {
  enum class Kind {
    Bytes,   // a 9-byte reply: report id 0, then `data` as d1..d8
    Short,   // a 3-byte reply, which the host takes for a failed read
    Silent,  // no reply at all: the read times out
  };
  Kind kind = Kind::Bytes;
  std::array<std::uint8_t, 8> data{};
};

struct MonitorScenario {
  bool present = true;
  std::int32_t rating = 550;  // 450, 550, 680 or 800
  std::map<std::uint8_t, ReplyOverride> replies;
  // The device vanishes after this many reports (writes and reads together).
  std::optional<std::uint64_t> unplugAfter;
  std::uint32_t seed = 1;
  bool noise = true;  // one-step jitter on the samples, as a real converter shows
  // Input reports (d1..d8 each) already waiting on every read handle opened to the device,
  // as replies meant for another holder pile up on a handle that is open but not read.
  std::vector<std::array<std::uint8_t, 8>> pendingInput;
  // The reply to a command code arrives this long after its request, so a read that waits
  // its time-out has given up before it comes.
  std::map<std::uint8_t, std::chrono::milliseconds> late;
};

struct GaugeScenario {
  bool present = true;
};

// Other things on the bus, in front of the PSU in every listing.
struct BusScenario {
  int extraInterfaces = 0;  // unrelated HID interfaces
  int unreadableIds = 0;    // present devices whose instance id cannot be read
};

// What the simulated bus holds. The defaults are a healthy 550 W PSU with its gauge panel.
struct Scenario {
  MonitorScenario monitor;
  GaugeScenario gauge;
  BusScenario bus;
};

// Parses a scenario document:
//   { "monitor": { "present": true, "rating": 550, "seed": 1, "noise": true,
//                  "replies": { "21": "C2 00 80 00 C0 80 BA 40", "04": null, "05": "silent" },
//                  "unplug_after": 40,
//                  "pending_input": ["19 00 28 00 00 00 63 00"], "late": { "02": 1500 } },
//     "gauge": { "present": false },
//     "bus": { "extra_interfaces": 24, "unreadable_ids": 1 } }
// Every field is optional; unknown fields are refused. Throws ScenarioError.
Scenario ParseScenario(std::string_view json);

// Reads and parses a scenario file; a file that cannot be read is a ScenarioError too.
Scenario LoadScenarioFile(const std::filesystem::path& path);

}  // namespace sim
