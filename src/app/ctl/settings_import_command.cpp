#include "app/ctl/settings_import_command.h"

#include <cstddef>
#include <optional>
#include <string>

#include "app/ctl/exit_code.h"
#include "core/regular_file.h"
#include "platform/registry/registry_file_error.h"
#include "settings/settings_import.h"

namespace app::ctl {
namespace {

// An export of the whole program key, skin included, in UTF-16 is about 3 MB; this leaves
// room for an export twice the size of the largest settings file the programs read.
constexpr std::size_t kMaxExportBytes = std::size_t{32} * 1024 * 1024;

void PrintValue(std::ostream& out, std::string_view verb, const settings::ExportedValue& value) {
  out << verb << ' ' << value.path << " \"" << value.name << '"';
  if (value.why.empty()) {
    out << " = \"" << value.text << "\"\n";
  } else {
    out << ": " << value.why << '\n';
  }
}

}  // namespace

int RunSettingsImport(platform::RegistryStore& store, const std::filesystem::path& file,
                      std::ostream& out, std::ostream& err) {
  std::string error;
  const std::optional<std::string> bytes = core::ReadRegularFile(file, kMaxExportBytes, error);
  if (!bytes) {
    err << "Cannot read the export " << file.string() << ": " << error << '\n';
    return kExitSettingsError;
  }
  settings::SettingsExport imported;
  try {
    imported = settings::ReadSettingsExport(*bytes, file.string());
  } catch (const platform::RegistryFileError& refused) {
    err << refused.what() << '\n';
    return kExitSettingsError;
  }
  bool saved = false;
  try {
    saved = settings::ApplySettingsExport(store, imported);
  } catch (const platform::RegistryReadError& unreadable) {
    // The user's settings themselves cannot be opened: nothing was saved.
    err << unreadable.what() << '\n';
    return kExitSettingsError;
  }
  if (!saved) {
    const std::string why = store.LastCommitError();
    err << "The imported values could not be saved: "
        << (why.empty() ? "the settings could not be written" : why) << '\n';
    return kExitSaveFailed;
  }
  for (const settings::ExportedValue& value : imported.taken) PrintValue(out, "took", value);
  for (const settings::ExportedValue& value : imported.left) PrintValue(out, "left", value);
  if (imported.skinValues > 0) {
    out << "left " << imported.skinValues
        << " skin values under SOFTWARE\\NORVANE\\Quelta\\Skin: the skin comes with the program\n";
  }
  out << "imported " << imported.taken.size() << " values, left "
      << imported.left.size() + imported.skinValues << '\n';
  return kExitDone;
}

}  // namespace app::ctl
