#include "settings/settings_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/registry_file_error.h"
#include "platform/registry/registry_location.h"
#include "settings/alarm_settings_store.h"
#include "settings/config_settings_store.h"
#include "support/settings_file.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr char kEmptyUserFile[] = "Windows Registry Editor Version 5.00\r\n";

// An export as the registry editor writes it of the user's copy of the key: CRLF, a skin
// record, the language, factory values, a sensor name that is not ASCII.
constexpr char kUserExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta]\r\n"
    "\"osLang\"=\"3\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta\\Alarm\\Temperature]\r\n"
    "\"T4Name\"=\"K\xC3\xBC"
    "che\"\r\n"
    "\"DefaultT4\"=\"99.00\"\r\n"
    "\"T4\"=\"61.50\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan]\r\n"
    "\"Mode\"=\"604\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close]\r\n"
    "\"Left\"=\"12\"\r\n"
    "\"LeaveBmp\"=\"Skin\\\\close.bmp\"\r\n"
    "\r\n";

// Widens a text as the registry editor writes UTF-16LE: the byte order mark, then each
// character as two bytes. The texts here are ASCII but for "ü" (U+00FC), one unit too.
std::string Utf16Le(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8.substr(i, 2) == "\xC3\xBC") {
      out += std::string("\xFC\x00", 2);
      ++i;
    } else {
      out += utf8[i];
      out += '\0';
    }
  }
  return out;
}

// The user's settings file over the factory settings, as the programs open them.
struct Settings {
  Settings() {
    std::filesystem::create_directories(folder / "bin");
    WriteFile(folder / "bin" / platform::kFactoryFileName, testing_support::FactoryTree());
    WriteFile(userFile, kEmptyUserFile);
  }
  std::unique_ptr<platform::RegistryStore> Store() const {
    return platform::OpenSettingsStore(userFile, folder / "bin");
  }
  // Imports `bytes`; the user's file afterwards.
  std::string Import(std::string_view bytes) const {
    SettingsExport imported = ReadSettingsExport(bytes, "export.reg");
    EXPECT_TRUE(ApplySettingsExport(*Store(), imported));
    return ReadFile(userFile);
  }

  TempFolder folder;
  std::filesystem::path userFile = folder / "registry.reg";
};

std::vector<std::string> Names(const std::vector<ExportedValue>& values) {
  std::vector<std::string> names;
  for (const ExportedValue& value : values) names.push_back(value.path + " " + value.name);
  return names;
}

TEST(SettingsImport, AUtf16ExportGivesTheSameTreeAsItsUtf8Text) {
  const Settings fromUtf8, fromUtf16;
  const std::string utf8 = fromUtf8.Import(kUserExport);
  EXPECT_EQ(fromUtf16.Import(Utf16Le(kUserExport)), utf8);
  // Only the values the program saves arrive, in the user's file and nowhere else.
  EXPECT_EQ(utf8,
            "Windows Registry Editor Version 5.00\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature]\r\n"
            "\"T4Name\"=\"K\xC3\xBC"
            "che\"\r\n"
            "\"T4\"=\"61.50\"\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan]\r\n"
            "\"Mode\"=\"604\"\r\n");
}

TEST(SettingsImport, LeavesTheSkinTheLanguageAndFactoryValuesSayingWhy) {
  const SettingsExport imported = ReadSettingsExport(kUserExport, "export.reg");
  EXPECT_THAT(Names(imported.taken),
              ElementsAre("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature T4Name",
                          "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature T4",
                          "SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan Mode"));
  ASSERT_THAT(Names(imported.left),
              ElementsAre("SOFTWARE\\NORVANE\\Quelta osLang",
                          "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature DefaultT4"));
  EXPECT_THAT(imported.left[0].why, HasSubstr("not a configuration or alarm value"));
  EXPECT_THAT(imported.left[1].why, HasSubstr("a factory value"));
  EXPECT_EQ(imported.skinValues, 2u);
}

TEST(SettingsImport, TakesEverySavedValueOfAMachineExportAndTheLoadsReadThem) {
  // The whole factory tree as the machine's key, with values changed in both trees and in
  // each kind of key: a mode, a sensor, a curve, a trim target, a threshold, each kind of
  // switch, a name, and a factory value, which stays as the factory tree has it.
  std::string tree = testing_support::FactoryTree();
  tree = testing_support::WithValue(tree, "Config\\FanSpeed\\PSUFan", "Mode", "604");
  tree = testing_support::WithValue(tree, "Config\\FanSpeed\\SystemFan\\Manual", "Mode", "3");
  tree = testing_support::WithValue(tree, "Config\\FanSpeed\\SystemFan\\Manual\\T4", "Vol", "9.5");
  tree = testing_support::WithValue(tree, "Config\\Voltage", "33V", "3.35");
  tree = testing_support::WithValue(tree, "Alarm\\Watt", "Watt", "600.00");
  tree = testing_support::WithValue(tree, "Alarm\\Watt", "WattEnable", "0");
  tree = testing_support::WithValue(tree, "Alarm\\Watt", "DefaultWatt", "1.00");
  tree = testing_support::WithValue(tree, "Alarm\\Current", "12V4Enable", "0");
  tree = testing_support::WithValue(tree, "Alarm\\Temperature", "T4Name", "Attic");
  const Settings settings;
  SettingsExport imported = ReadSettingsExport(tree, "export.reg");
  // Config: PSU fan mode and 4 curves (9), system fan mode, sensor, 8 curves (18), 3 targets;
  // Alarm: 2 power, 6 voltage, 12 current, 4 fan, 10 temperature and 4 names.
  EXPECT_EQ(imported.taken.size(), 30u + 38u);
  ASSERT_TRUE(ApplySettingsExport(*settings.Store(), imported));
  EXPECT_EQ(imported.taken.size(), 68u);

  FanSettings fan;
  VoltageSettings voltage;
  FanMode pageMode{};
  LoadConfigSettings(*settings.Store(), fan, voltage, pageMode, [](const std::string&) {});
  EXPECT_EQ(fan.PSUFanMode, FanMode::kManual);
  EXPECT_EQ(fan.SystemFanSensor, 3);
  EXPECT_EQ(fan.SystemFanPresets[kSensorT4].Vol, "9.5");
  EXPECT_EQ(voltage.Target33V, "3.35");
  AlarmSettings alarms;
  SensorNames names;
  LoadAlarmSettings(*settings.Store(), alarms, names);
  EXPECT_EQ(alarms.Watt, 600.0f);
  EXPECT_TRUE(alarms.WattMuted);
  EXPECT_EQ(alarms.DefaultWatt, 450.0f);
  EXPECT_FALSE(alarms.Current12V4.Enable);
  EXPECT_EQ(names[3], "Attic");
}

TEST(SettingsImport, LeavesValuesTheLoadWouldRefuseAndTakesTheLaterOfTwo) {
  const std::string exported =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan]\r\n"
      "\"Mode\"=\"Manual\"\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
      "\"WattEnable\"=dword:00000001\r\n"
      "\"Watt\"=\"500.00\"\r\n"
      "\"WATT\"=\"520.00\"\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\NORVANE\\Quelta\\Alarm\\Current]\r\n"
      "\"12V1Enable\"=\"1.0\"\r\n"
      "\"Surplus\"=\"1\"\r\n";
  const SettingsExport imported = ReadSettingsExport(exported, "export.reg");
  ASSERT_EQ(imported.taken.size(), 2u);
  EXPECT_EQ(imported.taken[0].name, "WATT");
  EXPECT_EQ(imported.taken[0].text, "520.00");
  EXPECT_EQ(imported.taken[1].name, "12V1Enable");  // a numeric switch: "1.0" loads as on
  ASSERT_THAT(Names(imported.left),
              ElementsAre("SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan Mode",
                          "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt WattEnable",
                          "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Current Surplus"));
  EXPECT_THAT(imported.left[0].why, HasSubstr("\"Manual\" is not an integer"));
  EXPECT_THAT(imported.left[1].why, HasSubstr("a dword value"));
}

TEST(SettingsImport, AKeyTheSettingsTreeLacksIsLeftAndTheRestSaved) {
  // Each install has a folder of its own, so its factory tree is read afresh.
  const Settings settings;
  WriteFile(settings.folder / "bin" / platform::kFactoryFileName,
            testing_support::WithoutKey(testing_support::FactoryTree(), "Config\\Voltage"));
  SettingsExport imported = ReadSettingsExport(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]\n"
      "\"12V\"=\"12.10\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\n"
      "\"Watt\"=\"500.00\"\n",
      "export.reg");
  ASSERT_TRUE(ApplySettingsExport(*settings.Store(), imported));
  ASSERT_THAT(Names(imported.taken), ElementsAre("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt Watt"));
  ASSERT_THAT(Names(imported.left), ElementsAre("SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage 12V"));
  EXPECT_THAT(imported.left[0].why, HasSubstr("no such key"));
}

TEST(SettingsImport, RefusesWhatIsNotAnExportOfTheQueltaKey) {
  struct Case {
    std::string bytes;
    const char* why;
  };
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string utf16 = Utf16Le(kUserExport);
  const Case cases[] = {
      {utf16.substr(0, utf16.size() - 1), "odd number of bytes"},
      // A high surrogate (D800) in place of the last CR.
      {utf16.substr(0, utf16.size() - 4) + std::string("\x00\xD8\x0A\x00", 4),
       "a high surrogate without a low one after it"},
      {std::string("\xFE\xFF\x00W", 4), "big-endian UTF-16"},
      {utf16.substr(2), "UTF-16 without its byte order mark"},
      {header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Other]\r\n",
       "line 3: the key [HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Other] is not Quelta's"},
      {header + "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta2]\r\n", "is not Quelta's"},
      {header + "[HKEY_CURRENT_USER\\Software\\NORVANE]\r\n", "is not Quelta's"},
      {header + "; nothing\r\n", "the file holds no key"},
      {header + "[-HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta]\r\n", "removing keys"},
      {"\x89PNG\r\n\x1A\n\x00\x00\x00\rIHDR", "the first line must be"},
      {header + "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta]\r\nMode=604\r\n",
       "line 4: expected a key line"},
  };
  for (const Case& c : cases) {
    try {
      ReadSettingsExport(c.bytes, "export.reg");
      ADD_FAILURE() << "taken: " << c.why;
    } catch (const platform::RegistryFileError& error) {
      EXPECT_THAT(error.what(), HasSubstr("export.reg"));
      EXPECT_THAT(error.what(), HasSubstr(c.why));
    }
  }
}

}  // namespace
}  // namespace settings
