// The rules of the user's settings over the factory tree, the same for every backend: the
// settings file on Linux, the user's registry key on Windows. The build hands in the backends
// of its system through registry_backends.h.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/reg_syntax.h"
#include "registry_backends.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

constexpr char kVoltage[] = "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage";
constexpr char kWatt[] = "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt";
constexpr char kMine[] = "SOFTWARE\\NORVANE\\Quelta\\Mine";
constexpr char kClose[] = "SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close";

// A factory tree with settings, a value of another type and a skin.
constexpr char kFactory[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]\r\n"
    "\"12V\"=\"12.00\"\r\n"
    "\"5V\"=\"5.00\"\r\n"
    "\"Count\"=dword:00000003\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
    "\"Watt\"=\"450.00\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close]\r\n"
    "\"LeaveBmp\"=\"Skin\\\\new_close.bmp\"\r\n";

template <typename Backend>
class OverlayRules : public ::testing::Test {
 protected:
  std::string Read(const char* path, const char* name) const {
    const auto store = backend.Store();  // a store outlives its accessors
    const auto registry = store->Open(RegistryAccess::Read);
    const auto key = registry->OpenKey(path);
    if (!key) return "<no key>";
    return key->ReadString(name);
  }

  Backend backend{kFactory};
};

TYPED_TEST_SUITE(OverlayRules, RegistryBackends);

TYPED_TEST(OverlayRules, AUserValueWinsAndEveryOtherValueAndKeyComesFromEitherLayer) {
  this->backend.PutUserValue(kVoltage, "12v", "12.10");
  this->backend.PutUserValue(kVoltage, "33V", "3.35");
  this->backend.PutUserValue(kMine, "Note", "hello");
  this->backend.PutUserValue(kWatt, "Watt", "", 450);
  EXPECT_EQ(this->Read(kVoltage, "12V"), "12.10");  // in both: the user's, whatever its case
  EXPECT_EQ(this->Read(kVoltage, "5V"), "5.00");    // only in the factory tree
  EXPECT_EQ(this->Read(kVoltage, "33V"), "3.35");   // only in the user's layer
  EXPECT_EQ(this->Read(kVoltage, "Nothing"), "");
  EXPECT_EQ(this->Read("\\software\\norvane\\quelta\\mine\\", "Note"), "hello");
  EXPECT_EQ(this->Read("SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng", "x"), "");  // a factory parent
  EXPECT_EQ(this->Read("SOFTWARE\\NORVANE\\Quelta\\Elsewhere", "x"), "<no key>");
  // A value of another type cannot be read, in either layer; the user's wins even so.
  EXPECT_THROW(this->Read(kVoltage, "Count"), RegistryReadError);
  EXPECT_THROW(this->Read(kWatt, "Watt"), RegistryReadError);
}

TYPED_TEST(OverlayRules, ASaveWritesOnlyTheValuesSavedToTheUsersLayer) {
  const auto store = this->backend.Store();
  {
    const auto reader = store->Open(RegistryAccess::Read);
    EXPECT_FALSE(reader->OpenKey(kWatt)->WriteString("Watt", "1.00"));
    EXPECT_EQ(reader->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Nowhere"), nullptr);  // never made
  }
  {
    const auto registry = store->Open(RegistryAccess::Write);
    const auto watt = registry->OpenKey(kWatt);
    const auto voltage = registry->OpenKey(kVoltage);
    const auto skin = registry->OpenKey(kClose);
    ASSERT_TRUE(watt && voltage && skin);
    EXPECT_TRUE(watt->WriteString("Watt", "600.00"));
    EXPECT_TRUE(voltage->WriteString("12V", "12.00"));  // equal to the factory's: still written
    EXPECT_FALSE(skin->WriteString("LeaveBmp", "Skin\\mine.bmp"));  // the skin is the program's
    EXPECT_FALSE(voltage->WriteString("5V", std::string("5\0x", 3)));
    EXPECT_EQ(watt->ReadString("Watt"), "600.00");  // an accessor reads its own writes
    ASSERT_TRUE(registry->Commit());
  }
  EXPECT_EQ(this->backend.UserText(kWatt, "Watt"), "600.00");
  EXPECT_EQ(this->backend.UserText(kVoltage, "12V"), "12.00");
  EXPECT_EQ(this->backend.UserText(kVoltage, "5V"), std::nullopt);
  EXPECT_FALSE(this->backend.UserHasKey(kClose));
  EXPECT_EQ(this->Read(kWatt, "Watt"), "600.00");
  EXPECT_EQ(this->Read(kVoltage, "5V"), "5.00");
  EXPECT_EQ(this->Read(kClose, "LeaveBmp"), "Skin\\new_close.bmp");

  // A second save replaces the value; an accessor destroyed with writes saves them too.
  {
    const auto registry = store->Open(RegistryAccess::Write);
    ASSERT_TRUE(registry->OpenKey(kWatt)->WriteString("Watt", "450.00"));
  }
  EXPECT_EQ(this->backend.UserText(kWatt, "Watt"), "450.00");
}

TYPED_TEST(OverlayRules, EveryValueOfTheFactorySettingsGoesThroughTheUsersLayerAndBack) {
  const std::string settings = testing_support::ReadFile(QUELTA_FACTORY_SETTINGS);
  TypeParam install(settings);
  struct Value {
    std::string path, name, text;
  };
  std::vector<Value> values;
  std::string path;
  for (const RegLine& line : ParseRegText(settings, "factory")) {
    if (line.kind == RegLine::Kind::Key) path = line.path;
    if (line.kind == RegLine::Kind::Value) {
      values.push_back({path, line.name, TextOf(line.value, false).value()});
    }
  }
  // osLang and NotifyOnAlarm; 17 PSU fan, 34 system fan and 6 voltage values; alarms 3 power,
  // 9 voltage, 18 current, 6 fan and 23 temperature values (names included); the record's
  // switch and retention.
  ASSERT_EQ(values.size(), 2u + 17u + 34u + 6u + 3u + 9u + 18u + 6u + 23u + 2u);
  const auto store = install.Store();
  {
    const auto registry = store->Open(RegistryAccess::Write);
    for (const Value& value : values) {
      // Each saved under a text of its own, so a value read from the wrong place shows.
      ASSERT_TRUE(
          registry->OpenKey(value.path)->WriteString(value.name, value.text + "|" + value.name))
          << value.path << " " << value.name;
    }
    ASSERT_TRUE(registry->Commit());
  }
  const auto registry = store->Open(RegistryAccess::Read);
  for (const Value& value : values) {
    EXPECT_EQ(install.UserText(value.path, value.name), value.text + "|" + value.name);
    EXPECT_EQ(registry->OpenKey(value.path)->ReadString(value.name), value.text + "|" + value.name);
  }
}

}  // namespace
}  // namespace platform
