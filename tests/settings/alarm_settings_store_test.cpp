#include "settings/alarm_settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/numbers.h"
#include "platform/registry/memory_registry_store.h"
#include "platform/registry/reg_file_store.h"
#include "support/recording_registry_store.h"
#include "support/settings_file.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

using ::testing::ElementsAre;
using testing_support::FactoryTree;
using testing_support::RecordingRegistryStore;
using testing_support::TempFolder;
using testing_support::WithoutKey;
using testing_support::WithValue;
using testing_support::WithValueLine;

constexpr SensorNames kFactoryNames = {"T1", "T2", "T3", "T4"};

struct Loaded {
  AlarmSettings alarms;
  SensorNames names;
};

Loaded LoadFrom(const std::string& tree) {
  TempFolder folder;
  testing_support::WriteFile(folder / "registry.reg", tree);
  platform::RegFileStore store(folder / "registry.reg");
  Loaded loaded;
  LoadAlarmSettings(store, loaded.alarms, loaded.names);
  return loaded;
}

TEST(AlarmLoad, TheFactoryTreeLoadsEveryGroup) {
  const Loaded loaded = LoadFrom(FactoryTree());
  const AlarmSettings& a = loaded.alarms;
  EXPECT_EQ(a.Watt, 450.0f);
  EXPECT_EQ(a.DefaultWatt, 450.0f);
  EXPECT_FALSE(a.WattMuted);
  EXPECT_FLOAT_EQ(a.Voltage12V.Value, 12.6f);
  EXPECT_TRUE(a.Voltage33V.Enable);
  EXPECT_FLOAT_EQ(a.Current12V4.Default, 18.0f);
  EXPECT_TRUE(a.Current33V.Enable);
  // Fan alarms: on for the PSU fan, off for the system fan.
  EXPECT_TRUE(a.PSUFan.Enable);
  EXPECT_FALSE(a.SystemFan.Enable);
  EXPECT_EQ(a.TempPSU.Value, 60.0f);
  EXPECT_TRUE(a.TempPSU.Enable);
  EXPECT_FALSE(a.TempT4.Enable);
  EXPECT_EQ(loaded.names, kFactoryNames);
  EXPECT_EQ(a.DefaultNames, kFactoryNames);
  // Every factory threshold is its threshold, so restoring the defaults changes nothing.
  for (const AlarmGroup group : kAlarmGroups) {
    for (const AlarmMember& m : AlarmGroupMembers(group)) {
      EXPECT_EQ((a.*m.field).Value, (a.*m.field).Default) << m.name;
      EXPECT_GT((a.*m.field).Value, 0.0f) << m.name;
    }
  }
}

TEST(AlarmLoad, AMissingGroupKeyLeavesThatGroupOffAndLoadsTheOthers) {
  const Loaded loaded = LoadFrom(WithoutKey(FactoryTree(), "Alarm\\Current"));
  for (const AlarmMember& m : AlarmGroupMembers(AlarmGroup::kCurrent)) {
    EXPECT_EQ((loaded.alarms.*m.field).Value, 0.0f);
    EXPECT_FALSE((loaded.alarms.*m.field).Enable);
  }
  EXPECT_TRUE(loaded.alarms.Voltage5V.Enable);
  EXPECT_EQ(loaded.alarms.TempPSU.Value, 60.0f);
}

// The power alarm is on unless muted: without its threshold it would judge every poll against
// 0 W. So the threshold, like the switch, must be there: the key, the value and some text.
TEST(AlarmLoad, APowerThresholdThatIsNotThereIsRefusedAsAMissingSwitchIs) {
  const std::string trees[] = {
      WithoutKey(FactoryTree(), "Alarm\\Watt"),
      WithValueLine(FactoryTree(), "Alarm\\Watt", "Watt", ""),
      WithValue(FactoryTree(), "Alarm\\Watt", "Watt", ""),
  };
  const char* messages[] = {
      "'' is not a valid number: alarm threshold \"Watt\" under "
      "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt (the key does not exist)",
      "'' is not a valid number: alarm threshold \"Watt\" under "
      "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt",
      "'' is not a valid number: alarm threshold \"Watt\" under "
      "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt",
  };
  for (std::size_t i = 0; i < std::size(trees); ++i) {
    try {
      LoadFrom(trees[i]);
      ADD_FAILURE() << "case " << i << " loaded";
    } catch (const core::ConversionError& error) {
      EXPECT_STREQ(error.what(), messages[i]) << i;
    }
  }
  // A threshold of 0 that is written is the user's: it loads.
  EXPECT_EQ(LoadFrom(WithValue(FactoryTree(), "Alarm\\Watt", "Watt", "0")).alarms.Watt, 0.0f);
}

TEST(AlarmLoad, NumericSwitchesTakeNumbersWhileStrictOnesTakeOnlyIntegers) {
  const Loaded numeric = LoadFrom(WithValue(FactoryTree(), "Alarm\\Current", "12V1Enable", "1.0"));
  EXPECT_TRUE(numeric.alarms.Current12V1.Enable);
  const Loaded zero = LoadFrom(WithValue(FactoryTree(), "Alarm\\Current", "12V2Enable", "0.0"));
  EXPECT_FALSE(zero.alarms.Current12V2.Enable);
  // A missing numeric switch or threshold is 0.
  const Loaded missing =
      LoadFrom(WithValueLine(WithValueLine(FactoryTree(), "Alarm\\FanSpeed", "PSUFanEnable", ""),
                             "Alarm\\FanSpeed", "SystemFan", ""));
  EXPECT_FALSE(missing.alarms.PSUFan.Enable);
  EXPECT_EQ(missing.alarms.SystemFan.Value, 0.0f);

  try {
    LoadFrom(WithValue(FactoryTree(), "Alarm\\Voltage", "12VEnable", "1.0"));
    ADD_FAILURE() << "a strict switch took 1.0";
  } catch (const core::ConversionError& error) {
    EXPECT_STREQ(error.what(),
                 "'1.0' is not a valid integer value: alarm switch \"12VEnable\" under "
                 "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Voltage");
  }
  EXPECT_THROW(LoadFrom(WithValueLine(FactoryTree(), "Alarm\\Watt", "WattEnable", "")),
               core::ConversionError);
  EXPECT_THROW(LoadFrom(WithValueLine(FactoryTree(), "Alarm\\Temperature", "T4Enable", "")),
               core::ConversionError);
  EXPECT_THROW(LoadFrom(WithValueLine(FactoryTree(), "Alarm\\Temperature", "T1Name",
                                      "\"T1Name\"=hex:41,42")),
               platform::RegistryReadError);
}

TEST(AlarmLoad, WhatWasReadBeforeAConversionErrorStaysSet) {
  TempFolder folder;
  testing_support::WriteFile(folder / "registry.reg",
                             WithValue(FactoryTree(), "Alarm\\Temperature", "PSUEnable", "x"));
  platform::RegFileStore store(folder / "registry.reg");
  AlarmSettings alarms;
  SensorNames names;
  EXPECT_THROW(LoadAlarmSettings(store, alarms, names), core::ConversionError);
  EXPECT_EQ(alarms.Watt, 450.0f);
  EXPECT_EQ(alarms.TempT4.Value, 55.0f);
  EXPECT_EQ(names, kFactoryNames);  // read before the switches
  EXPECT_FALSE(alarms.TempPSU.Enable);
}

// Saves against the in-memory store, recording the order of the writes.
class AlarmSave : public ::testing::Test {
 protected:
  AlarmSave() : memory(FactoryTree()), store(memory) { LoadAlarmSettings(memory, alarms, names); }

  platform::MemoryRegistryStore memory;
  RecordingRegistryStore store;
  AlarmSettings alarms;
  SensorNames names;
};

TEST_F(AlarmSave, WritesEachGroupInItsOrderWithTwoDecimalsAndOneOrZero) {
  alarms.Watt = 450.0f;
  alarms.WattMuted = true;
  EXPECT_TRUE(SaveAlarmGroup(store, alarms, AlarmGroup::kWatt, names));
  EXPECT_THAT(store.Writes(), ElementsAre("Watt=450.00", "WattEnable=0"));

  store.log.clear();
  alarms.Voltage5V.Value = 5.3f;
  alarms.Voltage33V.Enable = false;
  EXPECT_TRUE(SaveAlarmGroup(store, alarms, AlarmGroup::kVoltage, names));
  EXPECT_THAT(store.Writes(), ElementsAre("12V=12.60", "5V=5.30", "33V=3.46", "12VEnable=1",
                                          "5VEnable=1", "33VEnable=0"));

  store.log.clear();
  EXPECT_TRUE(SaveAlarmGroup(store, alarms, AlarmGroup::kCurrent, names));
  EXPECT_THAT(store.Writes(),
              ElementsAre("12V1=18.00", "12V2=18.00", "12V3=18.00", "12V4=18.00", "5V=20.00",
                          "33V=20.00", "12V1Enable=1", "12V2Enable=1", "12V3Enable=1",
                          "12V4Enable=1", "5VEnable=1", "33VEnable=1"));

  store.log.clear();
  alarms.SystemFan.Value = 1234.567f;
  EXPECT_TRUE(SaveAlarmGroup(store, alarms, AlarmGroup::kFanSpeed, names));
  EXPECT_THAT(store.Writes(), ElementsAre("PSUFan=500.00", "SystemFan=1234.57", "PSUFanEnable=1",
                                          "SystemFanEnable=0"));

  store.log.clear();
  EXPECT_TRUE(SaveAlarmGroup(store, alarms, AlarmGroup::kTemperature, {"CPU", "GPU", "", "Case"}));
  EXPECT_THAT(store.Writes(),
              ElementsAre("PSU=60.00", "T1=55.00", "T2=55.00", "T3=55.00", "T4=55.00", "T1Name=CPU",
                          "T2Name=GPU", "T3Name=", "T4Name=Case", "PSUEnable=1", "T1Enable=0",
                          "T2Enable=0", "T3Enable=0", "T4Enable=0"));

  // The factory values were never touched.
  EXPECT_NE(memory.Text().find("\"DefaultWatt\"=\"450.00\""), std::string::npos);
  EXPECT_NE(memory.Text().find("\"Default5V\"=\"5.25\""), std::string::npos);
  EXPECT_NE(memory.Text().find("\"DefaultT1Name\"=\"T1\""), std::string::npos);
}

TEST_F(AlarmSave, AMutedPowerAlarmIsWrittenBackMuted) {
  platform::MemoryRegistryStore muted(WithValue(FactoryTree(), "Alarm\\Watt", "WattEnable", "0"));
  LoadAlarmSettings(muted, alarms, names);
  EXPECT_TRUE(alarms.WattMuted);
  EXPECT_TRUE(SaveAlarmGroup(muted, alarms, AlarmGroup::kWatt, names));
  EXPECT_EQ(muted.Text(), WithValue(FactoryTree(), "Alarm\\Watt", "WattEnable", "0"));
}

TEST_F(AlarmSave, ReportsFailureForAMissingKeyAFailedCommitAndAnUnknownGroup) {
  const auto beside = [](AlarmGroup group, std::int32_t step) {
    return static_cast<AlarmGroup>(static_cast<std::int32_t>(group) + step);
  };
  EXPECT_FALSE(SaveAlarmGroup(store, alarms, beside(AlarmGroup::kWatt, -1), names));
  EXPECT_FALSE(SaveAlarmGroup(store, alarms, beside(AlarmGroup::kTemperature, 1), names));
  EXPECT_TRUE(store.log.empty());  // not even an accessor

  platform::MemoryRegistryStore gapped(WithoutKey(FactoryTree(), "Alarm\\FanSpeed"));
  EXPECT_FALSE(SaveAlarmGroup(gapped, alarms, AlarmGroup::kFanSpeed, names));
  EXPECT_TRUE(SaveSensorNames(gapped, names));  // other keys still save

  memory.SetCommitsFail(true);
  EXPECT_FALSE(SaveAlarmGroup(store, alarms, AlarmGroup::kWatt, names));
  EXPECT_FALSE(SaveSensorNames(store, names));
  EXPECT_EQ(memory.Text(), FactoryTree());
}

TEST_F(AlarmSave, RestoringDefaultsWritesThemAndKeepsSwitchesAndNamesAsHeld) {
  platform::MemoryRegistryStore changed(WithValue(
      WithValue(FactoryTree(), "Alarm\\Watt", "Watt", "300.00"), "Alarm\\Current", "5V", "30.00"));
  RecordingRegistryStore recording(changed);
  LoadAlarmSettings(changed, alarms, names);
  alarms.WattMuted = true;
  alarms.TempT2.Enable = true;

  EXPECT_TRUE(RestoreAlarmDefaults(recording, alarms, {"A", "B", "C", "D"}));
  EXPECT_EQ(alarms.Watt, 450.0f);
  EXPECT_EQ(alarms.Current5V.Value, 20.0f);
  EXPECT_TRUE(alarms.TempT2.Enable);
  // One save of all five groups in group order: a kill leaves all old or all new.
  EXPECT_EQ(std::count(recording.log.begin(), recording.log.end(), "open write"), 1);
  EXPECT_EQ(std::count(recording.log.begin(), recording.log.end(), "commit"), 1);
  EXPECT_THAT(recording.Writes()[0], "Watt=450.00");
  EXPECT_THAT(recording.Writes()[1], "WattEnable=0");

  Loaded reloaded;
  LoadAlarmSettings(changed, reloaded.alarms, reloaded.names);
  EXPECT_EQ(reloaded.alarms.Watt, 450.0f);
  EXPECT_TRUE(reloaded.alarms.WattMuted);
  EXPECT_EQ(reloaded.alarms.Current5V.Value, 20.0f);
  EXPECT_TRUE(reloaded.alarms.TempT2.Enable);
  EXPECT_EQ(reloaded.names, (SensorNames{"A", "B", "C", "D"}));
}

// A voltage threshold below its nominal is held as its band's upper edge from the load on;
// restored factory values are saved as they stand and held as upper edges after the save.
TEST_F(AlarmSave, ALowerVoltageEdgeIsHeldAsItsMirrorFromTheLoadAndAfterARestore) {
  std::string tree = WithValue(FactoryTree(), "Alarm\\Voltage", "12V", "11.40");
  tree = WithValue(tree, "Alarm\\Voltage", "5V", "4.75");
  tree = WithValue(tree, "Alarm\\Voltage", "Default33V", "3.14");
  platform::MemoryRegistryStore lower(tree);
  RecordingRegistryStore recording(lower);
  LoadAlarmSettings(lower, alarms, names);
  EXPECT_EQ(alarms.Voltage12V.Value, 12.6f);
  EXPECT_EQ(alarms.Voltage5V.Value, 5.25f);
  EXPECT_EQ(alarms.Voltage33V.Value, 3.46f);    // already the upper edge
  EXPECT_EQ(alarms.Voltage33V.Default, 3.14f);  // factory values are kept as stored

  EXPECT_TRUE(SaveAlarmGroup(recording, alarms, AlarmGroup::kVoltage, names));
  EXPECT_THAT(recording.Writes(), ElementsAre("12V=12.60", "5V=5.25", "33V=3.46", "12VEnable=1",
                                              "5VEnable=1", "33VEnable=1"));

  recording.log.clear();
  EXPECT_TRUE(RestoreAlarmDefaults(recording, alarms, names));
  const std::vector<std::string> writes = recording.Writes();
  EXPECT_NE(std::find(writes.begin(), writes.end(), "33V=3.14"), writes.end());
  // 3.14 is the float 3.1400001; 3.3 less that is the float 0.15999989; 3.3 plus that is
  // 3.45999989, whose nearest float is 3.4599998, one step below 3.46.
  EXPECT_EQ(alarms.Voltage33V.Value, 3.4599998f);
}

TEST_F(AlarmSave, ANameWithANulIsRefusedBeforeAnythingIsWritten) {
  alarms.TempPSU.Value = 61.0f;
  const SensorNames broken = {"T1", std::string("T\0two", 5), "T3", "T4"};
  RecordingRegistryStore recording(memory);
  EXPECT_FALSE(SaveAlarmGroup(recording, alarms, AlarmGroup::kTemperature, broken));
  EXPECT_FALSE(SaveSensorNames(recording, broken));
  EXPECT_FALSE(RestoreAlarmDefaults(recording, alarms, broken));
  EXPECT_TRUE(recording.log.empty());  // not even an accessor
  EXPECT_EQ(memory.Text(), FactoryTree());
}

TEST(AlarmLoad, ABadSwitchNamesItsTextItsValueAndItsKey) {
  try {
    LoadFrom(WithValue(FactoryTree(), "Alarm\\Voltage", "12VEnable", "on"));
    FAIL() << "a switch of \"on\" loaded";
  } catch (const core::ConversionError& error) {
    EXPECT_STREQ(error.what(),
                 "'on' is not a valid integer value: alarm switch \"12VEnable\" under "
                 "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Voltage");
  }
  try {
    LoadFrom(WithValue(FactoryTree(), "Alarm\\Watt", "WattEnable", ""));
    FAIL() << "an empty switch loaded";
  } catch (const core::ConversionError& error) {
    EXPECT_STREQ(error.what(),
                 "'' is not a valid integer value: alarm switch \"WattEnable\" under "
                 "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt");
  }
}

TEST_F(AlarmSave, TheLastOfGroupSaveAndNamesSaveDecidesTheNames) {
  EXPECT_TRUE(
      SaveAlarmGroup(memory, alarms, AlarmGroup::kTemperature, {"alarm1", "alarm2", "a3", "a4"}));
  EXPECT_TRUE(SaveSensorNames(memory, {"mon1", "mon2", "mon3", "mon4"}));
  Loaded loaded;
  LoadAlarmSettings(memory, loaded.alarms, loaded.names);
  EXPECT_EQ(loaded.names, (SensorNames{"mon1", "mon2", "mon3", "mon4"}));

  EXPECT_TRUE(
      SaveAlarmGroup(memory, alarms, AlarmGroup::kTemperature, {"alarm1", "alarm2", "a3", "a4"}));
  LoadAlarmSettings(memory, loaded.alarms, loaded.names);
  EXPECT_EQ(loaded.names, (SensorNames{"alarm1", "alarm2", "a3", "a4"}));
}

TEST_F(AlarmSave, NamesWithQuotesBackslashesAndLineBreaksComeBackUnchanged) {
  const SensorNames odd = {"C:\\dir", "say \"hi\"", "two\nlines", "\xE6\xB8\xA9\xE5\xBA\xA6"};
  EXPECT_TRUE(SaveSensorNames(memory, odd));
  Loaded loaded;
  LoadAlarmSettings(memory, loaded.alarms, loaded.names);
  EXPECT_EQ(loaded.names, odd);
}

}  // namespace
}  // namespace settings
