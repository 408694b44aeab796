#include "settings/settings_import.h"

#include <array>
#include <map>
#include <optional>

#include "core/numbers.h"
#include "platform/registry/reg_syntax.h"
#include "platform/registry/registry_file_error.h"
#include "platform/registry/utf16_text.h"
#include "settings/alarm_settings.h"
#include "settings/alarm_settings_store.h"
#include "settings/settings_keys.h"

namespace settings {
namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kProgramKey = "SOFTWARE\\NORVANE\\Quelta";
constexpr std::string_view kOwnRoot = "HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta";
// Where the registry editor finds the program key: the machine's tree, where a 32-bit program
// on a 64-bit system has it redirected, and the user's own.
constexpr std::array<std::string_view, 3> kExportRoots = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\NORVANE\\Quelta",
    "HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta"};
constexpr std::string_view kDefaultPrefix = "default";
constexpr std::string_view kEnableSuffix = "Enable";
constexpr std::size_t kSensorNameCount = 4;

enum class Check { Text, StrictInteger };

// The values the program saves, by key below the program key, and how each must read.
struct SavedValue {
  std::string path;
  std::string name;
  Check check;
};

std::vector<SavedValue> SavedValues() {
  std::vector<SavedValue> values;
  const auto curve = [&values](const std::string& key) {
    values.push_back({key, "Vol", Check::Text});
    values.push_back({key, "Temp", Check::Text});
  };
  const std::string psu = "Config\\FanSpeed\\PSUFan";
  const std::string system = "Config\\FanSpeed\\SystemFan";
  values.push_back({psu, "Mode", Check::StrictInteger});
  for (const char* preset : {"Manual", "Performance", "Normal", "Silent"}) {
    curve(psu + "\\" + preset);
  }
  values.push_back({system, "Mode", Check::StrictInteger});
  values.push_back({system + "\\Manual", "Mode", Check::StrictInteger});
  for (const char* sensor : {"PSU", "T1", "T2", "T3", "T4"}) curve(system + "\\Manual\\" + sensor);
  for (const char* preset : {"Performance", "Normal", "Silent"}) curve(system + "\\" + preset);
  for (const char* target : {"12V", "5V", "33V"}) {
    values.push_back({"Config\\Voltage", target, Check::Text});
  }

  values.push_back({"Alarm\\Watt", "Watt", Check::Text});
  values.push_back({"Alarm\\Watt", "WattEnable", Check::StrictInteger});
  const std::array<std::pair<AlarmGroup, std::string>, 4> groups = {
      {{AlarmGroup::kVoltage, "Alarm\\Voltage"},
       {AlarmGroup::kCurrent, "Alarm\\Current"},
       {AlarmGroup::kFanSpeed, "Alarm\\FanSpeed"},
       {AlarmGroup::kTemperature, "Alarm\\Temperature"}}};
  for (const auto& [group, key] : groups) {
    // The load reads the Voltage and Temperature switches strictly, the others as numbers.
    const Check flag = group == AlarmGroup::kVoltage || group == AlarmGroup::kTemperature
                           ? Check::StrictInteger
                           : Check::Text;
    for (const AlarmMember& member : AlarmGroupMembers(group)) {
      values.push_back({key, std::string(member.name), Check::Text});
      values.push_back({key, std::string(member.name) + std::string(kEnableSuffix), flag});
    }
  }
  for (std::size_t i = 1; i <= kSensorNameCount; ++i) {
    values.push_back({"Alarm\\Temperature", "T" + std::to_string(i) + "Name", Check::Text});
  }
  return values;
}

std::string Folded(std::string_view path, std::string_view name) {
  return platform::FoldCase(path) + '\n' + platform::FoldCase(name);
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         platform::FoldCase(text.substr(0, prefix.size())) == platform::FoldCase(prefix);
}

// `path` is `key` or a key below it.
bool AtOrBelow(std::string_view path, std::string_view key) {
  return StartsWithFolded(path, key) && (path.size() == key.size() || path[key.size()] == '\\');
}

bool IsStrictInteger(const std::string& text) {
  try {
    core::StrictToInt(text);
    return true;
  } catch (const core::ConversionError&) {
    return false;
  }
}

[[noreturn]] void Refuse(const std::string& source, std::size_t line, const std::string& why) {
  if (line == 0) throw platform::RegistryFileError(source + ": " + why);
  throw platform::RegistryFileError(source + ", line " + std::to_string(line) + ": " + why, line);
}

// The export as UTF-8 text.
std::string TextOf(std::string_view bytes, const std::string& source) {
  if (bytes.starts_with(kUtf16BeBom)) {
    Refuse(source, 0, "the file is big-endian UTF-16; export it again with the registry editor");
  }
  if (!bytes.starts_with(kUtf16LeBom)) {
    // Text starts with a character, never a NUL: a NUL second byte is UTF-16 that lost its mark.
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
      Refuse(source, 0, "the file is UTF-16 without its byte order mark; export it again");
    }
    return std::string(bytes);
  }
  platform::Utf16Decoding decoded = platform::DecodeUtf16LeText(bytes.substr(kUtf16LeBom.size()));
  if (!decoded.text) Refuse(source, 0, "the UTF-16 text is damaged: " + decoded.error);
  return std::move(*decoded.text);
}

// Each key line of the export names the program key the way this tree does, so the parser reads
// it as it reads the settings file. A key of anything else is refused: importing another
// program's values, or a whole hive, would be a mistake.
std::string WithOwnRoot(const std::string& text, const std::string& source, bool& anyKey) {
  std::string out;
  out.reserve(text.size());
  std::size_t number = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    const std::size_t stop = end == std::string::npos ? text.size() : end + 1;
    std::string_view line(text.data() + at, stop - at);
    at = stop;
    ++number;
    const std::size_t open = line.find_first_not_of(" \t");
    if (open == std::string_view::npos || line[open] != '[') {
      out += line;
      continue;
    }
    anyKey = true;
    const std::string_view inside = line.substr(open + 1);
    // A removal ("[-...]") is left for the parser to refuse with its own words.
    if (inside.starts_with('-')) {
      out += line;
      continue;
    }
    bool mapped = false;
    for (const std::string_view root : kExportRoots) {
      if (!StartsWithFolded(inside, root)) continue;
      const char after = inside.size() > root.size() ? inside[root.size()] : '\0';
      if (after != '\\' && after != ']') continue;
      out += line.substr(0, open + 1);
      out += kOwnRoot;
      out += inside.substr(root.size());
      mapped = true;
      break;
    }
    if (!mapped) {
      const std::size_t close = inside.find(']');
      Refuse(source, number,
             "the key [" + std::string(inside.substr(0, close)) +
                 "] is not Quelta's; export HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta or "
                 "HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta");
    }
  }
  return out;
}

}  // namespace

SettingsExport ReadSettingsExport(std::string_view bytes, const std::string& source) {
  bool anyKey = false;
  const std::string text = WithOwnRoot(TextOf(bytes, source), source, anyKey);
  const std::vector<platform::RegLine> lines = platform::ParseRegText(text, source);
  if (!anyKey) Refuse(source, 0, "the file holds no key; export the Quelta key");

  std::map<std::string, const SavedValue*> saved;
  const std::vector<SavedValue> catalogue = SavedValues();
  for (const SavedValue& value : catalogue) {
    saved.emplace(Folded(std::string(kProgramKey) + "\\" + value.path, value.name), &value);
  }
  const std::string skinKey = std::string(kProgramKey) + "\\Skin";

  SettingsExport imported;
  // A value given twice counts once, as the editor imports it: the later one wins.
  std::vector<ExportedValue> values;
  std::map<std::string, std::size_t> at;  // folded path and name -> index in `values`
  std::string path;
  for (const platform::RegLine& line : lines) {
    if (line.kind == platform::RegLine::Kind::Key) path = line.path;
    if (line.kind != platform::RegLine::Kind::Value) continue;
    if (AtOrBelow(path, skinKey)) {
      ++imported.skinValues;
      continue;
    }
    ExportedValue value{path, line.name, {}, {}};
    const std::string folded = Folded(path, line.name);
    const auto found = saved.find(folded);
    const std::optional<std::string> textValue = platform::TextOf(line.value, false);
    if (found == saved.end()) {
      value.why = StartsWithFolded(line.name, kDefaultPrefix) &&
                          (AtOrBelow(path, kConfigKey) || AtOrBelow(path, kAlarmKey))
                      ? "a factory value: the factory tree of this version keeps its own"
                      : "not a configuration or alarm value the program saves";
    } else if (!textValue) {
      value.why = "a " + line.value.TypeName() + " value, where the program keeps text";
    } else if (found->second->check == Check::StrictInteger && !IsStrictInteger(*textValue)) {
      value.why = "\"" + *textValue + "\" is not an integer, which the program would refuse";
    } else {
      value.text = *textValue;
    }
    const auto [place, fresh] = at.try_emplace(folded, values.size());
    if (fresh) {
      values.push_back(std::move(value));
    } else {
      values[place->second] = std::move(value);
    }
  }
  for (ExportedValue& value : values) {
    (value.why.empty() ? imported.taken : imported.left).push_back(std::move(value));
  }
  return imported;
}

bool ApplySettingsExport(platform::RegistryStore& store, SettingsExport& imported) {
  const std::unique_ptr<platform::Registry> registry = store.Open(platform::RegistryAccess::Write);
  std::vector<ExportedValue> taken;
  for (ExportedValue& value : imported.taken) {
    const std::unique_ptr<platform::RegistryKey> key = registry->OpenKey(value.path);
    if (key == nullptr || !key->WriteString(value.name, value.text)) {
      value.why = key == nullptr ? "this settings tree has no such key"
                                 : "the settings tree would not take the value";
      value.text.clear();
      imported.left.push_back(std::move(value));
      continue;
    }
    taken.push_back(std::move(value));
  }
  imported.taken = std::move(taken);
  return registry->Commit();
}

}  // namespace settings
