#include "app/ctl/json_text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace app::ctl {
namespace {

constexpr int kFloatDigits = 9;  // enough for every 32-bit float to read back unchanged

std::string FloatText(double value) {
  // JSON has no word for these; the dump writes null too.
  if (!std::isfinite(value)) return "null";
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.*g", kFloatDigits, value);
  std::string out(text.data());
  // Still a number with a fraction to a reader, as the dump writes 1.0.
  if (out.find_first_of(".e") == std::string::npos) out += ".0";
  return out;
}

void Write(const nlohmann::ordered_json& value, int indent, int depth, std::string& out) {
  const bool pretty = indent >= 0;
  const auto newline = [&](int level) {
    if (!pretty) return;
    out += '\n';
    out.append(static_cast<std::size_t>(indent * level), ' ');
  };
  if (value.is_object() || value.is_array()) {
    const bool object = value.is_object();
    if (value.empty()) {
      out += object ? "{}" : "[]";
      return;
    }
    out += object ? '{' : '[';
    bool first = true;
    for (auto item = value.begin(); item != value.end(); ++item) {
      if (!first) out += ',';
      first = false;
      newline(depth + 1);
      if (object) {
        out += nlohmann::ordered_json(item.key()).dump();
        out += pretty ? ": " : ":";
      }
      Write(item.value(), indent, depth + 1, out);
    }
    newline(depth);
    out += object ? '}' : ']';
    return;
  }
  if (value.is_number_float()) {
    out += FloatText(value.get<double>());
    return;
  }
  out += value.dump();
}

}  // namespace

std::string JsonText(const nlohmann::ordered_json& value, int indent) {
  std::string out;
  Write(value, indent, 0, out);
  return out;
}

}  // namespace app::ctl
