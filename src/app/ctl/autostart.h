#pragma once

#include <filesystem>
#include <string>

#include "app/ctl/autostart_entry.h"
#include "platform/registry/registry_location.h"

namespace app::ctl {

// $XDG_CONFIG_HOME/autostart/quelta.desktop, or ~/.config/autostart/quelta.desktop when
// XDG_CONFIG_HOME is unset or not absolute. Throws std::runtime_error when HOME is needed
// and not set.
std::filesystem::path AutostartFile(const platform::RegistryEnvironment& environment);

// What stands at the autostart place.
struct AutostartStatus {
  enum class State { On, Off, Other };
  State state = State::Off;
  std::string what;  // Other: what is there instead of an entry of ours, naming the file
};

// Reads the entry at `file`: On for a regular file that is Quelta's entry switched on, Off for
// no file or an entry of ours the desktop switched off; anything else (a folder, a FIFO, a
// device, an empty file, text that is no desktop entry, an entry of another program) is Other
// and said in words. Nothing but a regular file is ever opened for reading, so a FIFO cannot
// hold it up.
AutostartStatus ReadAutostartStatus(const std::filesystem::path& file);

// Writes the entry (creating missing folders, private to the user) or removes it. Return ""
// when done, else why not; a program path that an entry cannot carry is refused.
std::string EnableAutostart(const std::filesystem::path& file,
                            const std::filesystem::path& program);
std::string DisableAutostart(const std::filesystem::path& file);

}  // namespace app::ctl
