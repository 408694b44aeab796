#include "app/ctl/ctl_options.h"

#include <cmath>
#include <functional>
#include <string_view>

#include "app/ctl/ctl_arguments.h"
#include "app/ctl/usage_error.h"

namespace app::ctl {
namespace {

// A global option: its name, whether it takes a value, and what it sets. More options are
// added here as lines of this table.
struct GlobalOption {
  std::string_view name;
  enum class Value { None, Optional, Required } value;
  std::function<void(CtlOptions&, std::optional<std::string>)> apply;
  std::string_view valueName = "a file name";  // what the value is, for the usage error
};

// A day: longer than anyone waits at a terminal, short enough to stay clear of overflow.
constexpr float kLongestLockWaitSeconds = 86400.0f;

std::chrono::milliseconds LockWait(const std::string& text) {
  const float seconds = ExactFloat(text, "--lock-wait");
  if (seconds < 0.0f || seconds > kLongestLockWaitSeconds)
    throw UsageError("--lock-wait must be between 0 and 86400 seconds (got " + text + ")");
  return std::chrono::milliseconds(std::lround(seconds * 1000.0f));
}

const std::vector<GlobalOption>& GlobalOptions() {
  static const std::vector<GlobalOption> options{
      {"--help", GlobalOption::Value::None,
       [](CtlOptions& o, std::optional<std::string>) { o.help = true; }},
      {"-h", GlobalOption::Value::None,
       [](CtlOptions& o, std::optional<std::string>) { o.help = true; }},
      {"--simulate", GlobalOption::Value::Optional,
       [](CtlOptions& o, std::optional<std::string> v) {
         o.simulate = true;
         o.scenarioFile = v.value_or("");
       }},
      {"--trace", GlobalOption::Value::Required,
       [](CtlOptions& o, std::optional<std::string> v) { o.traceFile = std::move(v); }},
      {"--registry", GlobalOption::Value::Required,
       [](CtlOptions& o, std::optional<std::string> v) { o.registryFile = std::move(v); }},
      {"--lock-wait", GlobalOption::Value::Required,
       [](CtlOptions& o, std::optional<std::string> v) { o.lockWait = LockWait(*v); },
       "a number of seconds"},
  };
  return options;
}

}  // namespace

CtlOptions ParseCtlOptions(const std::vector<std::string>& args) {
  CtlOptions options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = std::string_view(arg).substr(0, equals);
    const GlobalOption* option = nullptr;
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      for (const GlobalOption& candidate : GlobalOptions())
        if (candidate.name == name) option = &candidate;
    }
    if (option == nullptr) {
      if (options.command.empty()) {
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
          throw UsageError("unknown option " + std::string(name));
        options.command = arg;
      } else {
        options.arguments.push_back(arg);
      }
      continue;
    }
    std::optional<std::string> value;
    if (equals != std::string::npos) value = arg.substr(equals + 1);
    switch (option->value) {
      case GlobalOption::Value::None:
        if (value) throw UsageError(std::string(name) + " takes no value");
        break;
      case GlobalOption::Value::Optional:
        if (value && value->empty()) throw UsageError(std::string(name) + "= needs a file name");
        break;
      case GlobalOption::Value::Required:
        if (!value) {
          if (i + 1 >= args.size())
            throw UsageError(std::string(name) + " needs " + std::string(option->valueName));
          value = args[++i];
        }
        if (value->empty())
          throw UsageError(std::string(name) + " needs " + std::string(option->valueName));
        break;
    }
    option->apply(options, std::move(value));
  }
  return options;
}

}  // namespace app::ctl
