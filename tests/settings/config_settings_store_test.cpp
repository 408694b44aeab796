#include "settings/config_settings_store.h"

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
using ::testing::IsEmpty;
using testing_support::FactoryTree;
using testing_support::ReadFile;
using testing_support::RecordingRegistryStore;
using testing_support::TempFolder;
using testing_support::WithoutKey;
using testing_support::WithValue;
using testing_support::WithValueLine;

constexpr char kSystemSilent[] = "Config\\FanSpeed\\SystemFan\\Silent";

// One load against a settings file in a temp folder, keeping the messages it shows.
class ConfigLoad : public ::testing::Test {
 protected:
  void Load(const std::string& tree) {
    testing_support::WriteFile(file_, tree);
    platform::RegFileStore store(file_);
    LoadConfigSettings(store, fan, voltage, fanPageMode,
                       [this](const std::string& message) { messages.push_back(message); });
  }

  FanSettings fan;
  VoltageSettings voltage;
  // A value that no load writes, to tell "not set" from any stored mode.
  FanMode fanPageMode = static_cast<FanMode>(-1);
  std::vector<std::string> messages;

 private:
  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "registry.reg";
};

TEST_F(ConfigLoad, TheFactoryTreeLoadsCompletelyWithPresetsThatCoolLessInTurn) {
  Load(FactoryTree());
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_EQ(fan.PSUFanMode, FanMode::kNormal);
  EXPECT_EQ(fanPageMode, FanMode::kNormal);
  EXPECT_EQ(fan.SystemFanMode, FanMode::kNormal);
  EXPECT_EQ(fan.SystemFanSensor, kSensorPSU);
  EXPECT_EQ(voltage.Target12V, "12.00");
  EXPECT_EQ(voltage.Target5V, "5.00");
  EXPECT_EQ(voltage.Target33V, "3.30");
  EXPECT_EQ(voltage.Default33V, "3.30");

  auto check = [](const FanPreset& performance, const FanPreset& normal, const FanPreset& silent) {
    for (const FanPreset* preset : {&performance, &normal, &silent}) {
      EXPECT_EQ(preset->Vol, preset->DefaultVol);
      EXPECT_EQ(preset->Temp, preset->DefaultTemp);
      const float vol = core::ParseSettingNumber(preset->Vol);
      const float temp = core::ParseSettingNumber(preset->Temp);
      EXPECT_TRUE(vol >= 4.0f && vol <= 12.0f) << preset->Vol;
      EXPECT_TRUE(temp >= 25.0f && temp <= 74.0f) << preset->Temp;
    }
    // More cooling: the fan starts at a higher voltage and speeds up at a lower temperature.
    EXPECT_GT(core::ParseSettingNumber(performance.Vol), core::ParseSettingNumber(normal.Vol));
    EXPECT_GT(core::ParseSettingNumber(normal.Vol), core::ParseSettingNumber(silent.Vol));
    EXPECT_LT(core::ParseSettingNumber(performance.Temp), core::ParseSettingNumber(normal.Temp));
    EXPECT_LT(core::ParseSettingNumber(normal.Temp), core::ParseSettingNumber(silent.Temp));
  };
  check(fan.PSUFanPresets[kPsuPerformance], fan.PSUFanPresets[kPsuNormal],
        fan.PSUFanPresets[kPsuSilent]);
  check(fan.SystemFanPresets[kSysPerformance], fan.SystemFanPresets[kSysNormal],
        fan.SystemFanPresets[kSysSilent]);
  for (std::size_t curve = kSysManualPSU; curve <= kSysManualT4; ++curve) {
    EXPECT_FALSE(fan.SystemFanPresets[curve].Vol.empty());
  }
}

TEST_F(ConfigLoad, AMissingSystemFanCurveIsShownAsEightFlagsAndTheRestStillLoads) {
  fan.SystemFanPresets[kSysSilent].Vol = "kept";
  Load(WithoutKey(FactoryTree(), kSystemSilent));
  EXPECT_THAT(messages, ElementsAre("11111110"));
  EXPECT_EQ(fan.SystemFanPresets[kSysSilent].Vol, "kept");  // a missing key changes nothing
  EXPECT_EQ(fan.SystemFanPresets[kSysNormal].Vol, "6.5");
  EXPECT_EQ(voltage.Target12V, "12.00");

  messages.clear();
  std::string tree = WithoutKey(FactoryTree(), "Config\\FanSpeed\\SystemFan\\Manual\\PSU");
  tree = WithoutKey(tree, "Config\\FanSpeed\\SystemFan\\Manual\\T3");
  Load(tree);
  EXPECT_THAT(messages, ElementsAre("01101111"));
}

TEST_F(ConfigLoad, AMissingPsuFanKeyLeavesThePsuFanAloneWithoutAMessage) {
  std::string tree = FactoryTree();
  for (const char* key : {"Config\\FanSpeed\\PSUFan", "Config\\FanSpeed\\PSUFan\\Manual",
                          "Config\\FanSpeed\\PSUFan\\Performance",
                          "Config\\FanSpeed\\PSUFan\\Normal", "Config\\FanSpeed\\PSUFan\\Silent"}) {
    tree = WithoutKey(tree, key);
  }
  Load(tree);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_EQ(fan.PSUFanMode, FanMode{});
  EXPECT_EQ(fanPageMode, static_cast<FanMode>(-1));  // not set either
  for (const FanPreset& preset : fan.PSUFanPresets) EXPECT_TRUE(preset.Vol.empty());
  EXPECT_EQ(fan.SystemFanMode, FanMode::kNormal);
}

TEST_F(ConfigLoad, AMissingValueReadsAsEmptyText) {
  Load(WithValueLine(FactoryTree(), "Config\\FanSpeed\\PSUFan\\Manual", "Temp", ""));
  EXPECT_EQ(fan.PSUFanPresets[kPsuManual].Temp, "");
  EXPECT_EQ(fan.PSUFanPresets[kPsuManual].Vol, "6.0");
}

TEST_F(ConfigLoad, ABadModeStopsTheLoadWithTheConversionErrorAfterWhatWasRead) {
  try {
    Load(WithValue(FactoryTree(), "Config\\FanSpeed\\SystemFan", "Mode", "abc"));
    ADD_FAILURE() << "loaded";
  } catch (const core::ConversionError& error) {
    EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(fan.PSUFanMode, FanMode::kNormal);          // read before
  EXPECT_EQ(fan.PSUFanPresets[kPsuSilent].Vol, "4.5");  // read before
  EXPECT_EQ(voltage.Target12V, "");                     // never reached

  // A missing mode, a missing sensor and a mode "1.0" are conversion errors too.
  EXPECT_THROW(Load(WithValueLine(FactoryTree(), "Config\\FanSpeed\\PSUFan", "Mode", "")),
               core::ConversionError);
  EXPECT_THROW(
      Load(WithValueLine(FactoryTree(), "Config\\FanSpeed\\SystemFan\\Manual", "Mode", "")),
      core::ConversionError);
  EXPECT_THROW(Load(WithValue(FactoryTree(), "Config\\FanSpeed\\PSUFan", "Mode", "1.0")),
               core::ConversionError);
  // A value that is not text is the registry read error.
  EXPECT_THROW(Load(WithValueLine(FactoryTree(), "Config\\Voltage", "5V", "\"5V\"=dword:00000005")),
               platform::RegistryReadError);
}

// Saves, against the in-memory store so the order of the writes can be seen.
class ConfigSave : public ::testing::Test {
 protected:
  explicit ConfigSave() : memory(FactoryTree()), store(memory) {
    FanMode pageMode{};
    LoadConfigSettings(memory, fan, voltage, pageMode, {});
  }

  platform::MemoryRegistryStore memory;
  RecordingRegistryStore store;
  FanSettings fan;
  VoltageSettings voltage;
};

TEST_F(ConfigSave, WritesModesCurvesAndTargetsInOrderAndNeverTheFactoryValues) {
  fan.PSUFanMode = FanMode::kManual;
  fan.PSUFanPresets[kPsuManual] = {"7.5", "45", "ignored", "ignored"};
  fan.SystemFanSensor = 3;
  voltage.Target12V = "12.10";
  voltage.Default12V = "99.00";  // factory values are never written

  EXPECT_TRUE(SaveConfigSettings(store, fan, voltage));
  EXPECT_THAT(store.Writes(),
              ElementsAre("Mode=604", "Vol=7.5", "Temp=45", "Vol=7.5", "Temp=30", "Vol=6.0",
                          "Temp=40", "Vol=4.5", "Temp=50", "Mode=602", "Mode=3", "Vol=6.0",
                          "Temp=40", "Vol=6.0", "Temp=40", "Vol=6.0", "Temp=40", "Vol=6.0",
                          "Temp=40", "Vol=6.0", "Temp=40", "Vol=8.0", "Temp=30", "Vol=6.5",
                          "Temp=40", "Vol=5.0", "Temp=50", "12V=12.10", "5V=5.00", "33V=3.30"));
  EXPECT_EQ(store.log.front(), "open write");
  EXPECT_EQ(store.log.back(), "commit");

  // Only the changed lines differ from the factory file.
  std::string expected = WithValue(FactoryTree(), "Config\\FanSpeed\\PSUFan", "Mode", "604");
  expected = WithValue(expected, "Config\\FanSpeed\\PSUFan\\Manual", "Vol", "7.5");
  expected = WithValue(expected, "Config\\FanSpeed\\PSUFan\\Manual", "Temp", "45");
  expected = WithValue(expected, "Config\\FanSpeed\\SystemFan\\Manual", "Mode", "3");
  expected = WithValue(expected, "Config\\Voltage", "12V", "12.10");
  EXPECT_EQ(memory.Text(), expected);
}

TEST_F(ConfigSave, WritesPresetsBackExactlyAsTheyWereRead) {
  const std::string tree =
      WithValue(WithValue(FactoryTree(), "Config\\FanSpeed\\PSUFan\\Performance", "Vol", "12"),
                "Config\\FanSpeed\\PSUFan\\Performance", "Temp", "45");
  platform::MemoryRegistryStore odd(tree);
  FanMode pageMode{};
  LoadConfigSettings(odd, fan, voltage, pageMode, {});
  for (int save = 0; save < 3; ++save) EXPECT_TRUE(SaveConfigSettings(odd, fan, voltage));
  EXPECT_EQ(odd.Text(), tree);
}

TEST_F(ConfigSave, ReportsFailureWhenAKeyIsMissingButStillWritesTheRest) {
  platform::MemoryRegistryStore gapped(
      WithoutKey(FactoryTree(), "Config\\FanSpeed\\PSUFan\\Manual"));
  RecordingRegistryStore recording(gapped);
  fan.PSUFanMode = FanMode::kSilent;
  EXPECT_FALSE(SaveConfigSettings(recording, fan, voltage));
  EXPECT_THAT(
      recording.log,
      ::testing::Contains("OpenKey SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan\\Manual "
                          "missing"));
  EXPECT_EQ(recording.Writes().front(), "Mode=603");
  EXPECT_EQ(recording.Writes().size(), 28u);  // all but the missing curve's two
  // The save never creates the key it did not find.
  EXPECT_EQ(gapped.Text().find("PSUFan\\Manual]"), std::string::npos);
  EXPECT_NE(gapped.Text().find("\"Mode\"=\"603\""), std::string::npos);
}

TEST_F(ConfigSave, ReportsFailureWhenTheCommitFails) {
  memory.SetCommitsFail(true);
  EXPECT_FALSE(SaveConfigSettings(store, fan, voltage));
  EXPECT_EQ(memory.Text(), FactoryTree());
}

TEST(ConfigSaveToFile, ReachesTheFileAndSurvivesTheNextLoad) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  testing_support::WriteFile(file, FactoryTree());
  platform::RegFileStore store(file);
  FanSettings fan;
  VoltageSettings voltage;
  FanMode pageMode{};
  LoadConfigSettings(store, fan, voltage, pageMode, {});
  fan.SystemFanPresets[kSysManualT2] = {"9.5", "33", "", ""};
  ASSERT_TRUE(SaveConfigSettings(store, fan, voltage));

  FanSettings reloaded;
  VoltageSettings reloadedVoltage;
  LoadConfigSettings(store, reloaded, reloadedVoltage, pageMode, {});
  EXPECT_EQ(reloaded.SystemFanPresets[kSysManualT2].Vol, "9.5");
  EXPECT_EQ(reloaded.SystemFanPresets[kSysManualT2].Temp, "33");
  EXPECT_EQ(reloaded.SystemFanPresets[kSysManualT2].DefaultVol, "6.0");
  EXPECT_NE(ReadFile(file), FactoryTree());
}

}  // namespace
}  // namespace settings
