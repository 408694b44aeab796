#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace settings {

// One value of an export, by its key below HKEY_LOCAL_MACHINE and its name.
struct ExportedValue {
  std::string path;
  std::string name;
  std::string text;  // the text taken; empty for a value left
  std::string why;   // why it was left; empty for a value taken
};

// What an export of the program key holds for the user's settings: the configuration and alarm
// values the program itself saves are taken, everything else is left with the reason. The skin
// belongs to the program that reads it, so its records are only counted.
struct SettingsExport {
  std::vector<ExportedValue> taken;
  std::vector<ExportedValue> left;
  std::size_t skinValues = 0;
};

// Reads a registry editor's export of the program key: UTF-16LE with its byte order mark (as
// the editor writes it) or UTF-8 text, with the key under HKEY_LOCAL_MACHINE\SOFTWARE (or its
// 32-bit view, WOW6432Node) or HKEY_CURRENT_USER\Software. Throws platform::RegistryFileError
// naming `source` (and the line, where there is one) for bytes that are not such a text, a key
// of any other program, or a file without a key of this one.
SettingsExport ReadSettingsExport(std::string_view bytes, const std::string& source);

// Writes the values taken into `store` with one write accessor, so either all of them are saved
// or none is. A value whose key the store does not have moves to `left`. Returns false when the
// commit failed (the store's LastCommitError says why).
bool ApplySettingsExport(platform::RegistryStore& store, SettingsExport& imported);

}  // namespace settings
