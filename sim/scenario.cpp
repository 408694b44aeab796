#include "sim/scenario.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "core/regular_file.h"

namespace sim {
namespace {

using nlohmann::json;

constexpr std::int32_t kRatings[] = {450, 550, 680, 800};
constexpr int kMaxBusExtras = 1000;
constexpr std::size_t kReplyDataBytes = 8;
constexpr char kSilent[] = "silent";
// A handle buffers this many unread input reports; more could never be waiting.
constexpr std::size_t kMaxPendingInput = 32;
// A reply later than this would not be a late reply but a lost one.
constexpr std::uint64_t kMaxLateMs = 600000;
// A scenario is three levels deep; anything much deeper is not one.
constexpr int kMaxDepth = 16;
constexpr std::size_t kMaxScenarioBytes = 1024 * 1024;

// What a refused value looked like, without printing a large or deeply nested one whole.
std::string Shown(const json& value) {
  if (value.is_object()) return "an object";
  if (value.is_array()) return "a list";
  if (value.is_string() && value.get_ref<const std::string&>().size() > 40) return "a long text";
  return value.dump();
}

// The library's messages start with "[json.exception.parse_error.101] ": ours do not.
std::string Plain(const std::string& message) {
  const std::size_t close = message.find("] ");
  return message.starts_with("[json.exception.") && close != std::string::npos
             ? message.substr(close + 2)
             : message;
}

[[noreturn]] void Fail(const std::string& field, const std::string& what) {
  throw ScenarioError("scenario: " + field + ": " + what);
}

void RefuseUnknown(const json& object, const std::string& where,
                   std::initializer_list<std::string_view> known) {
  for (const auto& [key, value] : object.items()) {
    bool found = false;
    for (std::string_view k : known) found = found || key == k;
    if (!found) Fail(where.empty() ? key : where + "." + key, "unknown field");
  }
}

const json& Object(const json& value, const std::string& field) {
  if (!value.is_object()) Fail(field, "must be an object");
  return value;
}

bool Bool(const json& value, const std::string& field) {
  if (!value.is_boolean()) Fail(field, "must be true or false");
  return value.get<bool>();
}

std::uint64_t Count(const json& value, const std::string& field, std::uint64_t max) {
  // JSON parsing gives non-negative whole numbers the unsigned type.
  if (!value.is_number_unsigned()) Fail(field, "must be a whole number of 0 or more");
  const auto count = value.get<std::uint64_t>();
  if (count > max) Fail(field, "must be at most " + std::to_string(max));
  return count;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::uint8_t> HexByte(std::string_view text) {
  if (text.size() != 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0) return std::nullopt;
  return static_cast<std::uint8_t>(HexDigit(text[0]) * 16 + HexDigit(text[1]));
}

// Eight data bytes written as hex, like a fixed reply.
std::array<std::uint8_t, kReplyDataBytes> EightBytes(const std::string& text,
                                                     const std::string& field) {
  std::array<std::uint8_t, kReplyDataBytes> data{};
  std::istringstream words(text);
  std::string word;
  std::size_t count = 0;
  while (words >> word) {
    const std::optional<std::uint8_t> byte = HexByte(word);
    if (!byte || count == kReplyDataBytes) {
      Fail(field,
           "must be eight hex bytes like \"C2 00 80 00 C0 80 BA 40\" (got \"" + text + "\")");
    }
    data[count++] = *byte;
  }
  if (count != kReplyDataBytes) {
    Fail(field, "must be eight hex bytes like \"C2 00 80 00 C0 80 BA 40\" (got \"" + text + "\")");
  }
  return data;
}

ReplyOverride Reply(const json& value, const std::string& field) {
  ReplyOverride reply;
  if (value.is_null()) {
    reply.kind = ReplyOverride::Kind::Short;
    return reply;
  }
  if (!value.is_string()) Fail(field, "must be eight hex bytes, null or \"silent\"");
  const std::string text = value.get<std::string>();
  if (text == kSilent) {
    reply.kind = ReplyOverride::Kind::Silent;
    return reply;
  }
  reply.data = EightBytes(text, field);
  return reply;
}

void ReadMonitor(const json& node, MonitorScenario& monitor) {
  const std::string where = "monitor";
  Object(node, where);
  RefuseUnknown(
      node, where,
      {"present", "rating", "replies", "unplug_after", "seed", "noise", "pending_input", "late"});
  if (node.contains("present")) monitor.present = Bool(node["present"], where + ".present");
  if (node.contains("noise")) monitor.noise = Bool(node["noise"], where + ".noise");
  if (node.contains("rating")) {
    const json& rating = node["rating"];
    bool known = false;
    if (rating.is_number_integer())
      for (const std::int32_t r : kRatings) known = known || rating.get<std::int64_t>() == r;
    if (!known) Fail(where + ".rating", "must be 450, 550, 680 or 800 (got " + Shown(rating) + ")");
    monitor.rating = rating.get<std::int32_t>();
  }
  if (node.contains("seed")) {
    monitor.seed = static_cast<std::uint32_t>(
        Count(node["seed"], where + ".seed", std::numeric_limits<std::uint32_t>::max()));
  }
  if (node.contains("unplug_after")) {
    monitor.unplugAfter = Count(node["unplug_after"], where + ".unplug_after",
                                std::numeric_limits<std::uint64_t>::max());
  }
  if (node.contains("replies")) {
    const json& replies = Object(node["replies"], where + ".replies");
    for (const auto& [code, value] : replies.items()) {
      const std::string field = where + ".replies." + code;
      const std::optional<std::uint8_t> command = HexByte(code);
      if (!command) Fail(field, "the command code must be two hex digits, like \"21\"");
      monitor.replies[*command] = Reply(value, field);
    }
  }
  if (node.contains("pending_input")) {
    const std::string field = where + ".pending_input";
    const json& reports = node["pending_input"];
    if (!reports.is_array()) Fail(field, "must be a list of reports of eight hex bytes");
    if (reports.size() > kMaxPendingInput)
      Fail(field, "must hold at most " + std::to_string(kMaxPendingInput) + " reports");
    for (std::size_t i = 0; i < reports.size(); ++i) {
      const std::string item = field + "[" + std::to_string(i) + "]";
      if (!reports[i].is_string()) Fail(item, "must be eight hex bytes");
      monitor.pendingInput.push_back(EightBytes(reports[i].get<std::string>(), item));
    }
  }
  if (node.contains("late")) {
    const json& late = Object(node["late"], where + ".late");
    for (const auto& [code, value] : late.items()) {
      const std::string field = where + ".late." + code;
      const std::optional<std::uint8_t> command = HexByte(code);
      if (!command) Fail(field, "the command code must be two hex digits, like \"02\"");
      monitor.late[*command] = std::chrono::milliseconds(Count(value, field, kMaxLateMs));
    }
  }
}

void ReadGauge(const json& node, GaugeScenario& gauge) {
  Object(node, "gauge");
  RefuseUnknown(node, "gauge", {"present"});
  if (node.contains("present")) gauge.present = Bool(node["present"], "gauge.present");
}

void ReadBus(const json& node, BusScenario& bus) {
  Object(node, "bus");
  RefuseUnknown(node, "bus", {"extra_interfaces", "unreadable_ids"});
  if (node.contains("extra_interfaces")) {
    bus.extraInterfaces =
        static_cast<int>(Count(node["extra_interfaces"], "bus.extra_interfaces", kMaxBusExtras));
  }
  if (node.contains("unreadable_ids")) {
    bus.unreadableIds =
        static_cast<int>(Count(node["unreadable_ids"], "bus.unreadable_ids", kMaxBusExtras));
  }
}

}  // namespace

Scenario ParseScenario(std::string_view text) {
  // The field being read, for messages about a value the library refuses (a number too large
  // for a double), and the depth, checked as the document is read so that no deep nesting is
  // ever built or printed.
  std::vector<std::string> path;
  const json::parser_callback_t watch = [&path](int depth, json::parse_event_t event,
                                                json& parsed) {
    const bool opens =
        event == json::parse_event_t::object_start || event == json::parse_event_t::array_start;
    if (opens && depth >= kMaxDepth) {
      throw ScenarioError("scenario: nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    if (event == json::parse_event_t::key) {
      path.resize(static_cast<std::size_t>(depth > 0 ? depth - 1 : 0));
      path.push_back(parsed.get<std::string>());
    }
    return true;
  };
  const auto field = [&path] {
    std::string joined;
    for (const std::string& part : path) joined += (joined.empty() ? "" : ".") + part;
    return joined.empty() ? std::string("the document") : joined;
  };
  json document;
  try {
    document = json::parse(text, watch);
  } catch (const json::parse_error& error) {
    throw ScenarioError("scenario: not valid JSON: " + Plain(error.what()));
  } catch (const json::exception& error) {
    throw ScenarioError("scenario: " + field() + ": " + Plain(error.what()));
  }
  if (!document.is_object()) throw ScenarioError("scenario: the document must be an object");
  RefuseUnknown(document, "", {"monitor", "gauge", "bus"});
  Scenario scenario;
  try {
    if (document.contains("monitor")) ReadMonitor(document["monitor"], scenario.monitor);
    if (document.contains("gauge")) ReadGauge(document["gauge"], scenario.gauge);
    if (document.contains("bus")) ReadBus(document["bus"], scenario.bus);
  } catch (const json::exception& error) {
    throw ScenarioError("scenario: " + Plain(error.what()));
  }
  return scenario;
}

Scenario LoadScenarioFile(const std::filesystem::path& path) {
  std::string error;
  const std::optional<std::string> text = core::ReadRegularFile(path, kMaxScenarioBytes, error);
  if (!text) throw ScenarioError("scenario: cannot read " + path.string() + ": " + error);
  try {
    return ParseScenario(*text);
  } catch (const ScenarioError& failed) {
    throw ScenarioError(path.string() + ": " + failed.what());
  }
}

}  // namespace sim
