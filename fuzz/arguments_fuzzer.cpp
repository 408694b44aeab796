// The command lines of both programs: any list of words is options or a usage error naming
// the offending word, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ctl/ctl_options.h"
#include "app/ctl/usage_error.h"
#include "app/quelta_options.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Words are separated by NUL bytes, as a real command line's are.
  std::vector<std::string> words(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.emplace_back();
    } else {
      words.back().push_back(static_cast<char>(data[i]));
    }
  }
  try {
    const app::ctl::CtlOptions options = app::ctl::ParseCtlOptions(words);
    if (!options.scenarioFile.empty()) FUZZ_CHECK(options.simulate);
  } catch (const app::ctl::UsageError&) {
  }
  try {
    const app::QueltaOptions options = app::ParseQueltaOptions(words);
    FUZZ_CHECK(options.screenshotAfter.count() >= 0);
  } catch (const app::QueltaUsageError&) {
  }
  return 0;
}
