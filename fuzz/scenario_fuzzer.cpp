// The scenario parser: any text is a scenario or a ScenarioError naming itself, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "sim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const sim::Scenario scenario =
        sim::ParseScenario(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(scenario.bus.extraInterfaces >= 0 && scenario.bus.extraInterfaces <= 1000);
    FUZZ_CHECK(scenario.monitor.rating == 450 || scenario.monitor.rating == 550 ||
               scenario.monitor.rating == 680 || scenario.monitor.rating == 800);
  } catch (const sim::ScenarioError& error) {
    FUZZ_CHECK(std::string(error.what()).rfind("scenario: ", 0) == 0);
  }
  return 0;
}
