#include "mainwindow/window_messages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace mainwindow {
namespace {

TEST(WindowMessages, TheSocketIsPerUserInTheRuntimeFolderOrTmp) {
  EXPECT_EQ(MessageSocketPath("/run/user/1000", 1000), "/run/user/1000/Quelta");
  // A runtime folder that is unset, empty or relative is not trusted.
  // It then lies in a private folder of the user's own under /tmp.
  EXPECT_EQ(MessageSocketPath(nullptr, 1000), "/tmp/Quelta-1000/Quelta");
  EXPECT_EQ(MessageSocketPath("", 42), "/tmp/Quelta-42/Quelta");
  EXPECT_EQ(MessageSocketPath("run/user", 7), "/tmp/Quelta-7/Quelta");
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

TEST(WindowMessages, TheTmpFolderIsCreatedPrivateAndRefusedWhenNotOurs) {
  // A uid no real user has, so the folder is this test's alone.
  const unsigned uid = ::getuid();
  const unsigned fake = 3000000000u + static_cast<unsigned>(::getpid());
  const std::filesystem::path socket = MessageSocketPath(nullptr, fake);
  const std::filesystem::path folder = socket.parent_path();
  std::filesystem::remove_all(folder);
  // Created 0700 for its owner; a uid that does not own it is refused.
  EXPECT_EQ(PrepareMessageSocketFolder(socket, uid), "");
  struct stat info {};
  ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0700u);
  EXPECT_EQ(PrepareMessageSocketFolder(socket, uid), "");  // and taken again as it is
  EXPECT_EQ(PrepareMessageSocketFolder(socket, uid + 1),
            folder.string() + " is not a private folder of this user");
  // Open to others, or a link to a folder: refused.
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(PrepareMessageSocketFolder(socket, uid),
            folder.string() + " is not a private folder of this user");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory_symlink("/", folder);
  EXPECT_EQ(PrepareMessageSocketFolder(socket, uid),
            folder.string() + " is not a private folder of this user");
  std::filesystem::remove(folder);
  // A runtime folder from the environment is the environment's business.
  EXPECT_EQ(PrepareMessageSocketFolder("/run/user/1000/Quelta", 1000), "");
}

TEST(MessageLineReader, SplitsLinesAcrossReadsAndDropsAnOverlongLineWhole) {
  MessageLineReader reader;
  EXPECT_EQ(reader.Feed("20"), std::vector<std::string>{});
  EXPECT_EQ(reader.Feed("24\n1025\n2"), (std::vector<std::string>{"2024", "1025"}));
  EXPECT_EQ(reader.Feed("025\n"), std::vector<std::string>{"2025"});
  // 31 letters and "32769": 36 bytes, over the 32 allowed. Nothing of it is a message, not
  // even its tail, however it arrives.
  const std::string hostile = std::string(31, 'A') + "32769\n";
  EXPECT_EQ(reader.Feed(hostile + "2024\n"), std::vector<std::string>{"2024"});
  MessageLineReader split;
  for (char c : hostile) EXPECT_EQ(split.Feed(std::string(1, c)), std::vector<std::string>{});
  EXPECT_EQ(split.Feed("1025\n"), std::vector<std::string>{"1025"});
  // 32 bytes before the line ending are still a line; 33 are not.
  EXPECT_EQ(reader.Feed(std::string(32, '7') + "\n"),
            std::vector<std::string>{std::string(32, '7')});
  EXPECT_EQ(reader.Feed(std::string(33, '7') + "\n"), std::vector<std::string>{});
}

}  // namespace
}  // namespace mainwindow
