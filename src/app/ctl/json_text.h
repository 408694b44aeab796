#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace app::ctl {

// `value` as JSON text laid out as nlohmann's dump(indent) lays it out (indent -1: all on one
// line), except that a number with a fraction is written with at most 9 significant digits:
// the readings are 32-bit floats, and 9 digits give each back exactly, where the dump writes
// the nearest double's digits (6.8000001900000004 for 6.80000019).
std::string JsonText(const nlohmann::ordered_json& value, int indent = -1);

}  // namespace app::ctl
