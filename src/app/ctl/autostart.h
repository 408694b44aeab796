#pragma once

#include <filesystem>
#include <string>

#include "platform/registry/registry_location.h"

namespace app::ctl {

// $XDG_CONFIG_HOME/autostart/quelta.desktop, or ~/.config/autostart/quelta.desktop when
// XDG_CONFIG_HOME is unset or not absolute. Throws std::runtime_error when HOME is needed
// and not set.
std::filesystem::path AutostartFile(const platform::RegistryEnvironment& environment);

// The desktop entry that starts `program` at login, put away in the tray (--tray).
std::string AutostartEntry(const std::filesystem::path& program);

// Whether the entry at `file` starts Quelta at login: it is there and not hidden.
bool AutostartEnabled(const std::filesystem::path& file);

// Writes the entry (creating the folder) or removes it. Return "" when done, else why not.
std::string EnableAutostart(const std::filesystem::path& file,
                            const std::filesystem::path& program);
std::string DisableAutostart(const std::filesystem::path& file);

}  // namespace app::ctl
