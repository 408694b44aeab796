#include "platform/autostart/win32/run_key_autostart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace platform {
namespace {

// A Run key of the test's own below HKEY_CURRENT_USER, gone at the end.
class RunKeyTest : public ::testing::Test {
 protected:
  ~RunKeyTest() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
  }

  std::string RunValue() const {
    char text[512] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, runKey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return "<no key>";
    const LONG result = ::RegQueryValueExA(key, kRunValueName, nullptr, &type,
                                           reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "<no value>";
    return type == REG_SZ ? std::string(text) : "<not text>";
  }

  void PutRunValue(const std::string& text) const {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, runKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(key);
  }

  const std::string base_ = "Software\\QueltaTests\\" + std::to_string(::GetCurrentProcessId()) +
                            "-" + std::to_string(std::random_device()());
  const std::string runKey_ = base_ + "\\Run";
};

TEST_F(RunKeyTest, OnWritesTheQuotedProgramWithTrayAndOffRemovesItEachTwice) {
  EXPECT_FALSE(RunKeyAutostartEnabled(runKey_));  // no key at all
  EXPECT_EQ(DisableRunKeyAutostart(runKey_), "");
  const std::filesystem::path program = "C:\\Program Files\\Quelta\\quelta.exe";
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(EnableRunKeyAutostart(runKey_, program), "");
    EXPECT_EQ(EnableRunKeyAutostart(runKey_, program), "");
    EXPECT_TRUE(RunKeyAutostartEnabled(runKey_));
    EXPECT_EQ(RunValue(), "\"C:\\Program Files\\Quelta\\quelta.exe\" --tray");
    EXPECT_EQ(DisableRunKeyAutostart(runKey_), "");
    EXPECT_EQ(DisableRunKeyAutostart(runKey_), "");
    EXPECT_FALSE(RunKeyAutostartEnabled(runKey_));
    EXPECT_EQ(RunValue(), "<no value>");
  }
}

TEST_F(RunKeyTest, AnEmptyValueIsOffAndOnReplacesIt) {
  PutRunValue("");
  EXPECT_FALSE(RunKeyAutostartEnabled(runKey_));
  PutRunValue("x");
  EXPECT_TRUE(RunKeyAutostartEnabled(runKey_));
  EXPECT_EQ(EnableRunKeyAutostart(runKey_, "D:\\q\\quelta.exe"), "");
  EXPECT_EQ(RunValue(), "\"D:\\q\\quelta.exe\" --tray");
}

}  // namespace
}  // namespace platform
