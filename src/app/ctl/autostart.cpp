#include "app/ctl/autostart.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/registry/atomic_file.h"

namespace app::ctl {
namespace {

constexpr mode_t kEntryMode = 0644;

// An Exec argument as desktop entries take it: quoted when it holds anything but plain path
// characters, with ", `, $ and \ escaped inside the quotes and the string's own backslash
// escape on top; a % is doubled.
std::string ExecArgument(const std::string& argument) {
  bool plain = !argument.empty();
  for (const char c : argument) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '/' || c == '.' || c == '_' || c == '-' || c == '+';
    plain = plain && safe;
  }
  if (plain) return argument;
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
      quoted += c;
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
    } else if (c == '%') {
      quoted += "%%";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::filesystem::path AutostartFile(const platform::RegistryEnvironment& environment) {
  std::filesystem::path config(environment.xdgConfigHome);
  // The base directory rules ignore a relative XDG_CONFIG_HOME.
  if (environment.xdgConfigHome.empty() || !config.is_absolute()) {
    if (environment.home.empty())
      throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set");
    config = std::filesystem::path(environment.home) / ".config";
  }
  return config / "autostart" / "quelta.desktop";
}

std::string AutostartEntry(const std::filesystem::path& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Quelta\n"
         "Comment=PSU monitor in the notification area\n"
         "Exec=" +
         ExecArgument(program.string()) +
         " --tray\n"
         "Icon=quelta\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEnabled(const std::filesystem::path& file) {
  std::ifstream entry(file);
  if (!entry) return false;
  bool inEntry = false;
  for (std::string line; std::getline(entry, line);) {
    line = Trimmed(line);
    if (!line.empty() && line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
    } else if (inEntry) {
      const auto equals = line.find('=');
      if (equals == std::string::npos) continue;
      const std::string key = Trimmed(line.substr(0, equals));
      const std::string value = Trimmed(line.substr(equals + 1));
      // A hidden entry is one the user switched off in their desktop's settings.
      if ((key == "Hidden" && value == "true") ||
          (key == "X-GNOME-Autostart-enabled" && value == "false"))
        return false;
    }
  }
  return true;
}

std::string EnableAutostart(const std::filesystem::path& file,
                            const std::filesystem::path& program) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return "cannot create " + file.parent_path().string() + ": " + error.message();
  if (platform::WriteFileAtomically(file, AutostartEntry(program), kEntryMode, true) !=
      platform::AtomicWriteResult::Written)
    return "cannot write " + file.string();
  return "";
}

std::string DisableAutostart(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::remove(file, error);
  if (error) return "cannot remove " + file.string() + ": " + error.message();
  return "";
}

}  // namespace app::ctl
