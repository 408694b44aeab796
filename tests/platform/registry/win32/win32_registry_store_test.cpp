#include "platform/registry/win32/win32_registry_store.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/registry/indexed_reg_tree.h"
#include "platform/registry/registry_file_error.h"
#include "platform/registry/user_settings.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using ::testing::HasSubstr;

constexpr char kFactory[] =
    "Windows Registry Editor Version 5.00\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
    "\"Watt\"=\"450.00\"\r\n";
constexpr char kWatt[] = "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt";

// A user's key of the test's own, with values of every type put straight into it.
class Win32RegistryStoreTest : public ::testing::Test {
 protected:
  ~Win32RegistryStoreTest() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, userKey_.c_str()); }

  void Put(const char* name, DWORD type, const std::string& bytes) const {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (userKey_ + "\\Alarm\\Watt").c_str(), 0, nullptr,
                                0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(key);
  }

  std::string Read(const char* name) const {
    Win32RegistryStore store(userKey_, IndexedRegTree::Parse(kFactory, "factory"));
    const auto registry = store.Open(RegistryAccess::Read);
    return registry->OpenKey(kWatt)->ReadString(name);
  }

  const std::string userKey_ = "Software\\QueltaTests\\" + std::to_string(::GetCurrentProcessId()) +
                               "-" + std::to_string(std::random_device()());
};

TEST_F(Win32RegistryStoreTest, TextAndExpandableTextReadAsTextEveryOtherTypeIsAReadError) {
  Put("Sz", REG_SZ, std::string("600.00\0", 7));
  Put("NoNul", REG_SZ, "610.00");  // the registry does not insist on the NUL
  Put("Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 10));
  EXPECT_EQ(Read("Sz"), "600.00");
  EXPECT_EQ(Read("NoNul"), "610.00");
  EXPECT_EQ(Read("Expand"), "%TEMP%\\x");  // unexpanded
  Put("Dword", REG_DWORD, std::string("\x2C\x01\0\0", 4));
  Put("Binary", REG_BINARY, "\x01\x02");
  Put("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  Put("Qword", REG_QWORD, std::string(8, '\0'));
  for (const char* name : {"Dword", "Binary", "Multi", "Qword"}) {
    try {
      Read(name);
      ADD_FAILURE() << name << " was read";
    } catch (const RegistryReadError& error) {
      EXPECT_THAT(error.what(), HasSubstr(std::string("'") + name + "' under " + kWatt)) << name;
    }
  }
}

TEST(Win32UserSettings, ARegistryFileIsReadAsItStandsAndASaveIsRefusedWithTheReason) {
  testing_support::TempFolder folder;
  testing_support::WriteFile(folder / "given.reg", kFactory);
  const auto store = OpenUserSettings(folder / "given.reg", folder.Path());
  {
    const auto registry = store->Open(RegistryAccess::Write);
    const auto key = registry->OpenKey(kWatt);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("Watt"), "450.00");
    EXPECT_TRUE(key->WriteString("Watt", "500.00"));
    EXPECT_FALSE(registry->Commit());
  }
  EXPECT_THAT(store->LastCommitError(), HasSubstr("only read on Windows"));
  EXPECT_EQ(testing_support::ReadFile(folder / "given.reg"), kFactory);
  EXPECT_THROW(OpenUserSettings(folder / "missing.reg", folder.Path()), RegistryFileError);
}

}  // namespace
}  // namespace platform
