// Settings files a user or another program could leave behind: each is refused or saved
// without ever losing what the file held.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "platform/registry/reg_document.h"
#include "platform/registry/reg_file_store.h"
#include "platform/registry/registry_file_error.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using ::testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr char kHeader[] = "Windows Registry Editor Version 5.00";

std::string ThrownBy(const std::function<void()>& call) {
  try {
    call();
  } catch (const RegistryFileError& error) {
    return error.what();
  }
  return "nothing thrown";
}

bool Save(RegistryStore& store, const char* key, const char* name, const std::string& text) {
  auto registry = store.Open(RegistryAccess::Write);
  auto opened = registry->OpenKey(key);
  return opened && opened->WriteString(name, text) && registry->Commit();
}

TEST(RegDocumentEndings, AWrappedValueOnALastLineWithoutEndingStaysReadable) {
  // "ab\ncdefghijk" is 26 bytes of UTF-16 with its NUL: the 26th wraps onto a second line.
  const std::string text = "ab\ncdefghijk";
  for (const std::string eol : {"\n", "\r\n"}) {
    RegDocument document = RegDocument::Parse(
        std::string(kHeader) + eol + "[HKEY_LOCAL_MACHINE\\K]" + eol + "\"Name\"=\"old\"", "t");
    ASSERT_TRUE(document.SetString("K", "Name", text));
    EXPECT_EQ(document.Text(),
              std::string(kHeader) + eol + "[HKEY_LOCAL_MACHINE\\K]" + eol +
                  "\"Name\"=hex(1):61,00,62,00,0a,00,63,00,64,00,65,00,66,00,67,00,68,00,69,00,"
                  "6a,00,6b,00,00,\\" +
                  eol + "  00");
    const RegDocument again = RegDocument::Parse(document.Text(), "again");
    EXPECT_EQ(TextOf(*again.FindValue("K", "Name"), false), text);
  }
}

TEST(RegDocumentEndings, AFileCutBetweenCrAndLfGetsOneWholeEndingBeforeANewValue) {
  RegDocument document = RegDocument::Parse(
      std::string(kHeader) + "\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"A\"=\"1\"\r", "t");
  ASSERT_TRUE(document.SetString("K", "B", "2"));
  EXPECT_EQ(document.Text(),
            std::string(kHeader) + "\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"A\"=\"1\"\r\n\"B\"=\"2\"\r\n");
  // A key line cut the same way, and the parent-only key that gets a section of its own.
  RegDocument parent =
      RegDocument::Parse(std::string(kHeader) + "\r\n[HKEY_LOCAL_MACHINE\\K\\Sub]\r", "t");
  ASSERT_TRUE(parent.SetString("K", "C", "3"));
  EXPECT_EQ(parent.Text(), std::string(kHeader) +
                               "\r\n[HKEY_LOCAL_MACHINE\\K\\Sub]\r\n\r\n[HKEY_LOCAL_MACHINE\\K]"
                               "\r\n\"C\"=\"3\"\r\n");
}

TEST(RegDocumentEndings, ARewrittenLineTakesTheFileEndingAndUnchangedBinaryTextKeepsItsBytes) {
  // A CRLF file with one LF line: the rewritten line ends like the file.
  RegDocument mixed = RegDocument::Parse(
      std::string(kHeader) + "\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"A\"=\"1\"\n\"B\"=\"1\"\r\n", "t");
  ASSERT_TRUE(mixed.SetString("K", "A", "2"));
  EXPECT_EQ(mixed.Text(),
            std::string(kHeader) + "\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"A\"=\"2\"\r\n\"B\"=\"1\"\r\n");

  // "T\xC4" then NUL then "A": the text reads as "TÄ"; saving "TÄ" again changes nothing.
  const std::string binary =
      std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"Sz\"=hex(1):54,00,c4,00,00,00,41,00\n";
  RegDocument document = RegDocument::Parse(binary, "t");
  ASSERT_TRUE(document.SetString("K", "Sz", "T\xC3\x84"));
  EXPECT_EQ(document.Text(), binary);
  ASSERT_TRUE(document.SetString("K", "Sz", "TA"));
  EXPECT_EQ(document.Text(), std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"Sz\"=\"TA\"\n");
}

TEST(RegFileStoreSafety, ASaveThatWouldNotReadBackIsRefusedAndTheFileKept) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  const std::string original = std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"1\"\n";
  WriteFile(file, original);
  RegFileStore store(file);
  // A byte that is not UTF-8, in a text that must go in binary form: it would come back as
  // U+FFFD, which is not what was saved.
  EXPECT_FALSE(Save(store, "K", "A", "\xFF\nx"));
  EXPECT_EQ(ReadFile(file), original);
  EXPECT_THAT(store.LastCommitError(), HasSubstr("would not read back as written"));
  EXPECT_TRUE(Save(store, "K", "A", "\xC3\xBF\nx"));
  EXPECT_EQ(store.LastCommitError(), "");
}

TEST(RegFileStoreSafety, AReadOnlyFileIsNeverReplaced) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  const std::string original = std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"1\"\n";
  WriteFile(file, original);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  RegFileStore store(file);
  EXPECT_FALSE(Save(store, "K", "A", "2"));
  EXPECT_EQ(ReadFile(file), original);
  EXPECT_EQ(store.LastCommitError(),
            file.string() + " is read-only; make it writable to save settings");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444u);
  // Writable for its owner alone is enough.
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  EXPECT_TRUE(Save(store, "K", "A", "2"));
}

TEST(RegFileStoreSafety, OnlyRegularFilesOfAtMostSixteenMebibytesAreRead) {
  TempFolder folder;
  EXPECT_THAT(ThrownBy([] { RegFileStore("/dev/zero").Open(RegistryAccess::Read); }),
              HasSubstr("/dev/zero: not a regular file"));
  EXPECT_THAT(ThrownBy([&] { RegFileStore(folder.Path()).Open(RegistryAccess::Read); }),
              HasSubstr("not a regular file"));
  // A FIFO nobody writes to: refused at once instead of waiting for ever.
  const auto fifo = folder / "fifo.reg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto refused = std::async(std::launch::async, [&] {
    return ThrownBy([&] { RegFileStore(fifo).Open(RegistryAccess::Read); });
  });
  ASSERT_EQ(refused.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_THAT(refused.get(), HasSubstr("not a regular file"));

  // 16 MiB exactly is read; one byte more is not.
  const std::string head = std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"1\"\n;";
  std::string big = head + std::string(16 * 1024 * 1024 - head.size(), 'x');
  const auto file = folder / "big.reg";
  WriteFile(file, big);
  EXPECT_EQ(RegFileStore(file).Open(RegistryAccess::Read)->OpenKey("K")->ReadString("A"), "1");
  WriteFile(file, big + "x");
  EXPECT_THAT(ThrownBy([&] { RegFileStore(file).Open(RegistryAccess::Read); }),
              HasSubstr("larger than 16 MiB"));

  // A link to a regular file is fine.
  WriteFile(file, head);
  std::filesystem::create_symlink(file, folder / "link.reg");
  EXPECT_EQ(
      RegFileStore(folder / "link.reg").Open(RegistryAccess::Read)->OpenKey("K")->ReadString("A"),
      "1");
}

TEST(RegFileStoreSafety, ASaveOnlyRemovesTemporariesOfOurOwnAndLeavesTheUsersFiles) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  WriteFile(file, std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"1\"\n");
  // Left by saves that were killed halfway: removed.
  WriteFile(folder / ".registry.reg.quelta-tmp-a1B2c3", "half a save");
  WriteFile(folder / ".registry.reg.quelta-tmp-Zz9Yy8", "another");
  // The user's own, or not of this file, or not of the temporaries' shape: kept.
  WriteFile(folder / ".registry.reg.backup", "the user's copy");
  WriteFile(folder / ".registry.reg.abcdef", "six letters, no mark");
  WriteFile(folder / ".registry.reg.quelta-tmp-a1B2c", "five after the mark");
  WriteFile(folder / ".registry.reg.quelta-tmp-a1B2c3d", "seven after the mark");
  WriteFile(folder / ".registry.reg.quelta-tmp-a1B.c3", "a dot is never drawn");
  WriteFile(folder / ".other.reg.quelta-tmp-a1B2c3", "another file's");
  std::filesystem::create_directory(folder / ".registry.reg.quelta-tmp-Dir000");
  std::filesystem::create_symlink(folder / ".registry.reg.backup",
                                  folder / ".registry.reg.quelta-tmp-Link00");
  RegFileStore store(file);
  ASSERT_TRUE(Save(store, "K", "A", "2"));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left,
            (std::vector<std::string>{
                ".other.reg.quelta-tmp-a1B2c3", ".registry.reg.abcdef", ".registry.reg.backup",
                ".registry.reg.quelta-tmp-Dir000", ".registry.reg.quelta-tmp-Link00",
                ".registry.reg.quelta-tmp-a1B.c3", ".registry.reg.quelta-tmp-a1B2c",
                ".registry.reg.quelta-tmp-a1B2c3d", "registry.reg", "registry.reg.lock"}));
  EXPECT_EQ(ReadFile(folder / ".registry.reg.backup"), "the user's copy");
}

TEST(RegFileStoreSafety, ASaveThatWouldGrowTheFilePastWhatIsReadIsRefused) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  // One byte short of 16 MiB: "12" in place of "1" fills it exactly, "123" would overflow.
  const std::string head = std::string(kHeader) + "\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"1\"\n;";
  const std::string tail = "\n";
  const std::size_t limit = std::size_t{16} * 1024 * 1024;
  WriteFile(file, head + std::string(limit - 1 - head.size() - tail.size(), 'x') + tail);
  RegFileStore store(file);
  ASSERT_TRUE(Save(store, "K", "A", "12"));
  EXPECT_EQ(std::filesystem::file_size(file), limit);
  const std::string full = ReadFile(file);

  EXPECT_FALSE(Save(store, "K", "A", "123"));
  EXPECT_EQ(store.LastCommitError(),
            "the new text of " + file.string() +
                " would be larger than the 16 MiB a settings file may hold; left as it was");
  EXPECT_EQ(ReadFile(file), full);
  EXPECT_EQ(store.Open(RegistryAccess::Read)->OpenKey("K")->ReadString("A"), "12");
}

TEST(RegDocumentDepth, KeyPathsDeeperThanFiveHundredTwelveLevelsAreRefusedWithTheirLine) {
  const auto tree = [](int levels) {
    std::string path = "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < levels; ++i) path += "\\k";
    return std::string(kHeader) + "\n; a comment\n" + path + "]\n";
  };
  const RegDocument deepest = RegDocument::Parse(tree(512), "t");
  EXPECT_TRUE(deepest.HasKey("k\\k\\k"));
  EXPECT_EQ(ThrownBy([&] { RegDocument::Parse(tree(513), "deep.reg"); }),
            "deep.reg, line 3: a key path is 513 levels deep; at most 512 are allowed");
  EXPECT_THAT(ThrownBy([&] { RegDocument::Parse(tree(80000), "deep.reg"); }),
              HasSubstr("line 3: a key path is 80000 levels deep"));
}

TEST(RegDocumentDepth, MemoryGrowsInStepWithTheFileForTheDeepestKeys) {
  // 512 levels of 1,000-letter names: half a megabyte of key line. Holding every parent path
  // as its own string would cost 512 times that.
  std::string path = "[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 512; ++i) path += "\\" + std::string(1000, static_cast<char>('a' + i % 26));
  const std::string text = std::string(kHeader) + "\n" + path + "]\n";
  const std::size_t before = ::mallinfo2().uordblks;
  const RegDocument document = RegDocument::Parse(text, "t");
  const std::size_t grown = ::mallinfo2().uordblks - before;
  EXPECT_TRUE(document.HasKey(std::string(1000, 'a')));
  if (before != 0) {  // sanitizers keep their own books
    EXPECT_LT(grown, 20 * text.size());
  }
}

}  // namespace
}  // namespace platform
