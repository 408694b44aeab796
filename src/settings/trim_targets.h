#pragma once

#include <array>

namespace settings {

// The voltages a trim asks for, rail by rail (12 V, 5 V, 3.3 V), each with whether its rail is
// sent switched on. The voltage page's drags write them; OK reads them.
struct TrimTargets {
  std::array<float, 3> targets{};
  std::array<bool, 3> enabled{};
};

}  // namespace settings
