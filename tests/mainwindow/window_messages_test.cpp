#include "mainwindow/window_messages.h"

#include <gtest/gtest.h>

namespace mainwindow {
namespace {

TEST(WindowMessages, TheSocketIsPerUserInTheRuntimeFolderOrTmp) {
  EXPECT_EQ(MessageSocketPath("/run/user/1000", 1000), "/run/user/1000/Quelta");
  // A runtime folder that is unset, empty or relative is not trusted.
  EXPECT_EQ(MessageSocketPath(nullptr, 1000), "/tmp/Quelta-1000");
  EXPECT_EQ(MessageSocketPath("", 42), "/tmp/Quelta-42");
  EXPECT_EQ(MessageSocketPath("run/user", 7), "/tmp/Quelta-7");
}

TEST(WindowMessages, AMessageIsItsDecimalNumberOnOneLine) {
  EXPECT_EQ(EncodeMessage(kRestoreMessage), "2024\n");
  EXPECT_EQ(DecodeMessage("2024\n"), kRestoreMessage);
  EXPECT_EQ(DecodeMessage("1025\r\n"), kWorkerRestartMessage);
  EXPECT_EQ(DecodeMessage("2025"), kFanCurveApplyMessage);
}

TEST(WindowMessages, AnythingButAWholeNumberIsDropped) {
  for (const char* line :
       {"", "\n", "abc\n", "-1\n", "12 34\n", "0x7E8\n", "99999999999\n", "2024x\n", " 2024\n"}) {
    EXPECT_FALSE(DecodeMessage(line).has_value()) << line;
  }
}

}  // namespace
}  // namespace mainwindow
