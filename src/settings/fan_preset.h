#pragma once

#include <string>

namespace settings {

// One fan curve as stored: start voltage "Vol" (V), rising temperature "Temp" (degrees C) and
// their factory copies. The texts are kept exactly as stored, never reformatted.
struct FanPreset {
  std::string Vol;
  std::string Temp;
  std::string DefaultVol;
  std::string DefaultTemp;
};

}  // namespace settings
