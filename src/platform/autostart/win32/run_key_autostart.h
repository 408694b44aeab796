#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Programs the desktop starts at the user's login: one text value each, a command line.
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Quelta";

// The command line that starts `program` put away in the tray: the path quoted (it may hold
// blanks, and a Windows path cannot hold a quote), then --tray.
std::string RunCommand(const std::filesystem::path& program);

// The login entry of the current user under `runKey` (below HKEY_CURRENT_USER; kRunKey but in
// tests). Enabled when the value is there as a non-empty text.
bool RunKeyAutostartEnabled(const std::string& runKey);
// Writes the value (creating the key when missing) or deletes it (a value already gone is
// fine). Return "" when done, else why not.
std::string EnableRunKeyAutostart(const std::string& runKey, const std::filesystem::path& program);
std::string DisableRunKeyAutostart(const std::string& runKey);

}  // namespace platform
