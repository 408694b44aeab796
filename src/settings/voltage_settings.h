#pragma once

#include <string>

namespace settings {

// The output trim targets as texts (the voltage page writes them with two decimals), with
// their factory values. Empty until loaded.
struct VoltageSettings {
  std::string Default12V;
  std::string Default5V;
  std::string Default33V;
  std::string Target12V;  // "12V"
  std::string Target5V;   // "5V"
  std::string Target33V;  // "33V"
};

}  // namespace settings
