#include "app/ctl/settings_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include <sys/stat.h>

#include "platform/registry/memory_registry_store.h"
#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/reg_file_store.h"
#include "settings/setting_codes.h"
#include "support/settings_file.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

using ::testing::HasSubstr;
using testing_support::FactoryTree;
using testing_support::WithoutKey;
using testing_support::WithValue;
using Json = nlohmann::json;

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

template <typename Command>
Outcome RunOn(const std::string& tree, Command command) {
  testing_support::TempFolder folder;
  testing_support::WriteFile(folder / "registry.reg", tree);
  platform::RegFileStore store(folder / "registry.reg");
  std::ostringstream out, err;
  Outcome run;
  run.code = command(store, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

Outcome ConfigShow(const std::string& tree, bool json) {
  return RunOn(tree, [json](auto& store, auto& out, auto& err) {
    return RunConfigShow(store, json, out, err);
  });
}

Outcome AlarmsShow(const std::string& tree, bool json) {
  return RunOn(tree, [json](auto& store, auto& out, auto& err) {
    return RunAlarmsShow(store, json, out, err);
  });
}

TEST(ConfigShow, GivesEveryCurveModeSensorAndTargetAsJson) {
  const std::string tree =
      WithValue(FactoryTree(), "Config\\FanSpeed\\SystemFan\\Manual\\T2", "Vol", "7.12345");
  const Outcome run = ConfigShow(tree, true);
  ASSERT_EQ(run.code, kExitDone) << run.err;
  EXPECT_EQ(run.err, "");
  const Json json = Json::parse(run.out);
  EXPECT_EQ(json["PSUFan"]["Mode"], static_cast<int>(settings::FanMode::kNormal));
  EXPECT_EQ(json["PSUFan"]["Silent"],
            Json::parse(R"({"Vol":"4.5","Temp":"50","DefaultVol":"4.5","DefaultTemp":"50",
                           "VolValue":4.5,"TempValue":50})"));
  EXPECT_EQ(json["SystemFan"]["Mode"], static_cast<int>(settings::FanMode::kNormal));
  EXPECT_EQ(json["SystemFan"]["Manual"]["Mode"], 0);
  EXPECT_EQ(json["SystemFan"]["Manual"]["T2"]["Vol"], "7.12345");
  // The number in use, rounded at the third decimal and shown without float noise.
  EXPECT_THAT(run.out, HasSubstr(R"("VolValue":7.123,)"));
  EXPECT_EQ(json["SystemFan"]["Performance"]["VolValue"], 8);
  EXPECT_EQ(json["Voltage"],
            Json::parse(R"({"12V":"12.00","5V":"5.00","33V":"3.30","Default12V":"12.00",
                           "Default5V":"5.00","Default33V":"3.30"})"));
  // Keys in the order of the tree.
  EXPECT_LT(run.out.find("\"Manual\""), run.out.find("\"Performance\""));
  EXPECT_LT(run.out.find("\"PSUFan\""), run.out.find("\"SystemFan\""));
}

TEST(ConfigShow, PrintsTheLoadMessageOnErrorAndGoesOn) {
  for (const bool json : {true, false}) {
    const Outcome run =
        ConfigShow(WithoutKey(FactoryTree(), "Config\\FanSpeed\\SystemFan\\Silent"), json);
    EXPECT_EQ(run.code, kExitDone);
    EXPECT_EQ(run.err, "11111110\n");
    EXPECT_THAT(run.out, HasSubstr("12.00"));
  }
}

TEST(ConfigShow, EndsWithCodeFourOnAConversionOrRegistryReadError) {
  const Outcome bad =
      ConfigShow(WithValue(FactoryTree(), "Config\\FanSpeed\\PSUFan", "Mode", "abc"), true);
  EXPECT_EQ(bad.code, kExitSettingsError);
  EXPECT_EQ(bad.err, "'abc' is not a valid integer value\n");
  EXPECT_EQ(bad.out, "");

  const Outcome malformed =
      ConfigShow("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A\n", false);
  EXPECT_EQ(malformed.code, kExitSettingsError);
  EXPECT_THAT(malformed.err, HasSubstr("line 2: "));
}

TEST(ConfigShow, PrintsATidyTable) {
  const Outcome run = ConfigShow(FactoryTree(), false);
  ASSERT_EQ(run.code, kExitDone);
  EXPECT_THAT(run.out, HasSubstr("PSU fan: mode 602 (Normal)"));
  EXPECT_THAT(run.out, HasSubstr("follows sensor 0 (PSU)"));
  EXPECT_THAT(run.out, HasSubstr("  Manual\\T4    6.0     40      6.0     40\n"));
  EXPECT_THAT(run.out, HasSubstr("12V 12.00, 5V 5.00, 3.3V 3.30"));
}

TEST(AlarmsShow, GivesEveryThresholdDefaultAndSwitchUnderItsValueName) {
  const Outcome run =
      AlarmsShow(WithValue(FactoryTree(), "Alarm\\Temperature", "T3Name", "Case"), true);
  ASSERT_EQ(run.code, kExitDone) << run.err;
  EXPECT_THAT(run.out, HasSubstr(R"("Watt":{"Watt":450,"DefaultWatt":450,"WattEnable":true})"));
  const Json json = Json::parse(run.out);
  EXPECT_EQ(json["Voltage"]["12V"], 12.6);
  EXPECT_EQ(json["Voltage"]["Default33V"], 3.46);
  EXPECT_EQ(json["Voltage"]["33VEnable"], true);
  EXPECT_EQ(json["Current"].size(), 18u);
  EXPECT_EQ(json["Current"]["12V4Enable"], true);
  EXPECT_EQ(json["FanSpeed"]["SystemFanEnable"], false);
  EXPECT_EQ(json["Temperature"]["T3Name"], "Case");
  EXPECT_EQ(json["Temperature"]["DefaultT3Name"], "T3");
  EXPECT_EQ(json["Temperature"].size(), 23u);
}

TEST(AlarmsShow, ShowsTextThatIsNotUtf8InsteadOfFailing) {
  const Outcome run =
      AlarmsShow(WithValue(FactoryTree(), "Alarm\\Temperature", "T2Name", "GPU\xFF"), true);
  ASSERT_EQ(run.code, kExitDone) << run.err;
  EXPECT_EQ(Json::parse(run.out)["Temperature"]["T2Name"], "GPU\xEF\xBF\xBD");
}

TEST(AlarmsShow, EndsWithCodeFourOnABadStrictSwitch) {
  const Outcome run =
      AlarmsShow(WithValue(FactoryTree(), "Alarm\\Voltage", "12VEnable", "1.0"), false);
  EXPECT_EQ(run.code, kExitSettingsError);
  EXPECT_EQ(run.err,
            "'1.0' is not a valid integer value: alarm switch \"12VEnable\" under "
            "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Voltage\n");
}

TEST(AlarmsShow, EndsWithCodeFourWithoutThePowerKeyAsWithoutItsSwitch) {
  const Outcome run = AlarmsShow(WithoutKey(FactoryTree(), "Alarm\\Watt"), true);
  EXPECT_EQ(run.code, kExitSettingsError);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "'' is not a valid number: alarm threshold \"Watt\" under "
            "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt (the key does not exist)\n");
}

TEST(AlarmsShow, PrintsATidyTable) {
  const Outcome run = AlarmsShow(FactoryTree(), false);
  ASSERT_EQ(run.code, kExitDone);
  EXPECT_THAT(run.out, HasSubstr("Watt         Watt           450.00    450.00   on\n"));
  EXPECT_THAT(run.out, HasSubstr("FanSpeed     SystemFan      500.00    500.00   off\n"));
  EXPECT_THAT(run.out, HasSubstr("T4 \"T4\""));
}

TEST(AlarmsRestoreDefaults, PutsTheFactoryThresholdsBackAndKeepsSwitchesAndNames) {
  testing_support::TempFolder folder;
  const auto file = folder / "registry.reg";
  std::string tree = WithValue(FactoryTree(), "Alarm\\Watt", "Watt", "600.00");
  tree = WithValue(tree, "Alarm\\FanSpeed", "SystemFanEnable", "1");
  tree = WithValue(tree, "Alarm\\Temperature", "T1Name", "CPU");
  testing_support::WriteFile(file, tree);
  platform::RegFileStore store(file);
  std::ostringstream out, err;
  EXPECT_EQ(RunAlarmsRestoreDefaults(store, out, err), kExitDone);
  EXPECT_EQ(err.str(), "");
  std::string expected = WithValue(tree, "Alarm\\Watt", "Watt", "450.00");
  EXPECT_EQ(testing_support::ReadFile(file), expected);
}

TEST(AlarmsRestoreDefaults, OverTheFactoryTreeSavesTheFiveAlarmGroupsAndNothingElseToTheUsersFile) {
  testing_support::TempFolder folder;
  const auto file = folder / "registry.reg";
  testing_support::WriteFile(file,
                             "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
                             "\"Watt\"=\"600.00\"\r\n");
  platform::OverlayRegistryStore store(file, std::make_shared<const platform::RegDocument>(
                                                 platform::RegDocument::Parse(FactoryTree(), "f")));
  platform::MemoryRegistryStore factory(FactoryTree());
  std::ostringstream out, err, shown, factoryShown;
  // Before: the user's threshold over the factory's configuration.
  ASSERT_EQ(RunConfigShow(store, true, shown, err), kExitDone);
  ASSERT_EQ(RunConfigShow(factory, true, factoryShown, err), kExitDone);
  EXPECT_EQ(shown.str(), factoryShown.str());
  shown.str("");
  ASSERT_EQ(RunAlarmsShow(store, true, shown, err), kExitDone);
  EXPECT_EQ(Json::parse(shown.str())["Watt"]["Watt"], 600);

  EXPECT_EQ(RunAlarmsRestoreDefaults(store, out, err), kExitDone);
  EXPECT_EQ(err.str(), "");
  shown.str("");
  factoryShown.str("");
  ASSERT_EQ(RunAlarmsShow(store, true, shown, err), kExitDone);
  ASSERT_EQ(RunAlarmsShow(factory, true, factoryShown, err), kExitDone);
  EXPECT_EQ(shown.str(), factoryShown.str());
  const platform::RegDocument saved =
      platform::RegDocument::Parse(testing_support::ReadFile(file), "saved");
  for (const char* group : {"Watt", "Voltage", "Current", "FanSpeed", "Temperature"}) {
    EXPECT_TRUE(saved.HasKey(std::string("SOFTWARE\\NORVANE\\Quelta\\Alarm\\") + group)) << group;
  }
  EXPECT_FALSE(saved.HasKey("SOFTWARE\\NORVANE\\Quelta\\Config"));
  EXPECT_EQ(saved.FindValue("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt", "Watt")->text, "450.00");
  EXPECT_EQ(saved.FindValue("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt", "DefaultWatt"), nullptr);
}

TEST(AlarmsRestoreDefaults, SaysSoWhenAGroupCouldNotBeSaved) {
  platform::MemoryRegistryStore store(WithoutKey(FactoryTree(), "Alarm\\Current"));
  std::ostringstream out, err;
  EXPECT_EQ(RunAlarmsRestoreDefaults(store, out, err), kExitSaveFailed);
  EXPECT_THAT(err.str(), HasSubstr("could not be saved"));
}

TEST(AlarmsRestoreDefaults, AReadOnlyFileIsLeftAsItIsWithExitFiveAndTheReason) {
  testing_support::TempFolder folder;
  const auto file = folder / "registry.reg";
  const std::string changed = WithValue(FactoryTree(), "Alarm\\Watt", "Watt", "300.00");
  testing_support::WriteFile(file, changed);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  platform::RegFileStore store(file);
  std::ostringstream out, err;
  EXPECT_EQ(RunAlarmsRestoreDefaults(store, out, err), kExitSaveFailed);
  EXPECT_EQ(err.str(), "The factory alarm thresholds could not be saved completely: " +
                           file.string() + " is read-only; make it writable to save settings\n");
  EXPECT_EQ(testing_support::ReadFile(file), changed);
}

}  // namespace
}  // namespace app::ctl
