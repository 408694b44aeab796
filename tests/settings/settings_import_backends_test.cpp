// The import through each backend of the system built for: the settings file on Linux, the
// user's registry key on Windows.
#include <gtest/gtest.h>

#include <string>

#include "registry_backends.h"
#include "settings/settings_import.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

constexpr char kFanKey[] = "SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\SystemFan\\Manual\\T3";
constexpr char kCurrentKey[] = "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Current";

// An export of the user's key as the registry editor writes it, in its two encodings.
constexpr char kExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta\\Config\\FanSpeed\\SystemFan\\Manual\\T3]\r\n"
    "\"Vol\"=\"8.25\"\r\n"
    "\"Temp\"=\"44\"\r\n"
    "\"DefaultVol\"=\"1.0\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta\\Alarm\\Current]\r\n"
    "\"12V3\"=\"31.50\"\r\n"
    "\"12V3Enable\"=\"0\"\r\n"
    "\r\n";

std::string Utf16Le(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (const char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

template <typename Backend>
class SettingsImportThrough : public ::testing::Test {};

TYPED_TEST_SUITE(SettingsImportThrough, platform::RegistryBackends);

TYPED_TEST(SettingsImportThrough, AUtf16ExportAndItsUtf8TextLeaveTheSameUsersLayer) {
  const std::string factory = testing_support::ReadFile(QUELTA_FACTORY_SETTINGS);
  const TypeParam fromUtf8(factory), fromUtf16(factory);
  for (const auto& [backend, bytes] :
       {std::pair{&fromUtf8, std::string(kExport)}, std::pair{&fromUtf16, Utf16Le(kExport)}}) {
    SettingsExport imported = ReadSettingsExport(bytes, "export.reg");
    const auto store = backend->Store();
    ASSERT_TRUE(ApplySettingsExport(*store, imported));
    EXPECT_EQ(imported.taken.size(), 4u);
  }
  for (const TypeParam* backend : {&fromUtf8, &fromUtf16}) {
    EXPECT_EQ(backend->UserText(kFanKey, "Vol"), "8.25");
    EXPECT_EQ(backend->UserText(kFanKey, "Temp"), "44");
    EXPECT_EQ(backend->UserText(kFanKey, "DefaultVol"), std::nullopt);
    EXPECT_EQ(backend->UserText(kCurrentKey, "12V3"), "31.50");
    EXPECT_EQ(backend->UserText(kCurrentKey, "12V3Enable"), "0");
    EXPECT_EQ(backend->UserText(kCurrentKey, "12V4"), std::nullopt);
  }
}

}  // namespace
}  // namespace settings
