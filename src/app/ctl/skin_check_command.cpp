#include <optional>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/usage_error.h"
#include "platform/registry/registry.h"
#include "skin/skin_check.h"

namespace app::ctl {

int RunSkinCheckCommand(CtlEnvironment& environment, std::span<const std::string> arguments) {
  std::optional<int> rating;
  std::optional<int> language;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word != "--rating" && word != "--lang")
      throw UsageError("skin-check does not take '" + word + "'");
    if (i + 1 >= arguments.size()) throw UsageError(word + " needs a value");
    const std::int32_t value = WholeNumber(arguments[++i], word);
    if (word == "--rating") {
      if (value != 450 && value != 550 && value != 680 && value != 800)
        throw UsageError("--rating must be 450, 550, 680 or 800");
      rating = value;
    } else {
      if (value < 1 || value > 8) throw UsageError("--lang must be 1..8");
      language = value;
    }
  }
  try {
    return skin::RunSkinCheck(environment.Registry(), environment.ProgramFolder(), rating, language,
                              environment.Out(), environment.Err());
  } catch (const platform::RegistryReadError& error) {
    environment.Err() << error.what() << "\n";
    return kExitSettingsError;
  }
}

}  // namespace app::ctl
