#include "platform/registry/reg_file_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "platform/registry/reg_document.h"
#include "platform/registry/registry_file_error.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using ::testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr char kKey[] = "SOFTWARE\\NORVANE\\Quelta\\Test";

// A settings file of a realistic size (the skin tree makes it long), so a save takes a while.
std::string BigTree(const std::string& eol) {
  std::string text = "Windows Registry Editor Version 5.00" + eol + eol + "; keep me" + eol;
  text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Test]" + eol;
  text += "\"Counter\"=\"0\"" + eol + "\"A\"=\"0\"" + eol + "\"B\"=\"0\"" + eol;
  text += "\"Kept\"=hex(7):41,00,00,00,\\" + eol + "  00,00" + eol + eol;
  for (int i = 0; i < 600; ++i) {
    text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Page" + std::to_string(i) +
            "]" + eol + "\"Left\"=\"" + std::to_string(i) + "\"" + eol + "\"LeaveBmp\"=\"Skin\\\\" +
            std::to_string(i) + ".bmp\"" + eol + eol;
  }
  return text;
}

std::string ReadValue(RegistryStore& store, const char* name) {
  return store.Open(RegistryAccess::Read)->OpenKey(kKey)->ReadString(name);
}

bool SaveValue(RegistryStore& store, const char* name, const std::string& text) {
  auto registry = store.Open(RegistryAccess::Write);
  auto key = registry->OpenKey(kKey);
  return key != nullptr && key->WriteString(name, text) && registry->Commit();
}

// The file with the lines a test changed put back as they were, for byte comparisons.
std::string WithValue(std::string text, const std::string& name, const std::string& value) {
  const std::string start = "\"" + name + "\"=\"";
  const std::size_t at = text.find(start) + start.size();
  return text.replace(at, text.find('"', at) - at, value);
}

TEST(RegFileStore, EachAccessorReadsTheFileFreshAndCommitsOnlyWhatItWrote) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  const std::string original = BigTree("\r\n");
  WriteFile(file, original);
  RegFileStore store(file);

  auto early = store.Open(RegistryAccess::Read);
  ASSERT_TRUE(SaveValue(store, "Counter", "7"));
  EXPECT_EQ(early->OpenKey(kKey)->ReadString("Counter"), "0");  // its snapshot
  EXPECT_EQ(ReadValue(store, "Counter"), "7");                  // a fresh accessor
  EXPECT_EQ(ReadFile(file), WithValue(original, "Counter", "7"));

  // Two accessors open at once, each saving its own value: neither loses the other's.
  auto first = store.Open(RegistryAccess::Write);
  auto second = store.Open(RegistryAccess::Write);
  ASSERT_TRUE(first->OpenKey(kKey)->WriteString("A", "1"));
  ASSERT_TRUE(second->OpenKey(kKey)->WriteString("B", "2"));
  EXPECT_TRUE(second->Commit());
  first.reset();  // commits on destruction
  EXPECT_EQ(ReadFile(file),
            WithValue(WithValue(WithValue(original, "Counter", "7"), "A", "1"), "B", "2"));
}

TEST(RegFileStore, KeepsTheFileAsItIsWhenNothingWasWritten) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  WriteFile(file, BigTree("\n"));
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  RegFileStore store(file);
  EXPECT_TRUE(store.Open(RegistryAccess::Write)->Commit());
  EXPECT_TRUE(SaveValue(store, "Counter", "0"));  // the same text again
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);  // never replaced
}

TEST(RegFileStore, RefusesAMalformedFileAndNeverOverwritesIt) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  WriteFile(file, BigTree("\n"));
  RegFileStore store(file);
  auto writer = store.Open(RegistryAccess::Write);
  ASSERT_TRUE(writer->OpenKey(kKey)->WriteString("Counter", "5"));

  // Someone spoils the file by hand while the accessor is open.
  const std::string spoilt = "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\" +
                             std::string(kKey) + "]\n\"Counter\"=\"unclosed\n";
  WriteFile(file, spoilt);
  EXPECT_FALSE(writer->Commit());
  EXPECT_EQ(ReadFile(file), spoilt);
  try {
    store.Open(RegistryAccess::Read);
    ADD_FAILURE() << "a malformed file was opened";
  } catch (const RegistryFileError& error) {
    EXPECT_EQ(error.Line(), 3u);
    EXPECT_THAT(error.what(), HasSubstr(file.string() + ", line 3: "));
  }
}

TEST(RegFileStore, ReportsAMissingFileAndAKeyRemovedBeforeTheCommit) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  RegFileStore store(file);
  try {
    store.Open(RegistryAccess::Read);
    ADD_FAILURE() << "a missing file was opened";
  } catch (const RegistryReadError& error) {
    EXPECT_THAT(error.what(), HasSubstr(file.string()));
  }

  WriteFile(file, BigTree("\n"));
  auto writer = store.Open(RegistryAccess::Write);
  ASSERT_TRUE(writer->OpenKey(kKey)->WriteString("Counter", "5"));
  ASSERT_TRUE(
      writer->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Page1")->WriteString("x", "1"));
  const std::string withoutKey = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + std::string(kKey) + "]\n";
  WriteFile(file, withoutKey);
  // One of its keys is gone: none of its writes is stored (a commit never creates a key).
  EXPECT_FALSE(writer->Commit());
  EXPECT_EQ(ReadFile(file), withoutKey);
}

TEST(RegFileStore, WritesThroughALinkAndKeepsTheFileMode) {
  TempFolder folder;
  const auto real = folder / "real.reg";
  const auto link = folder / "registry.reg";
  WriteFile(real, BigTree("\n"));
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);
  RegFileStore store(link);
  ASSERT_TRUE(SaveValue(store, "Counter", "3"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadValue(store, "Counter"), "3");
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// Reads whole numbers a child reports through a pipe until `count` arrived or the pipe ended.
int ReadReports(int fd, int count, long& last) {
  int got = 0;
  long value = 0;
  while (got < count && ::read(fd, &value, sizeof value) == sizeof value) {
    last = value;
    ++got;
  }
  return got;
}

TEST(RegFileStoreCrash, AWriterKilledAtAnyMomentLeavesACompleteFileWithEveryCommittedValue) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  const std::string original = BigTree("\r\n");
  WriteFile(file, original);
  std::mt19937 random(20240611);
  long committed = 0;

  for (int round = 0; round < 30; ++round) {
    int reports[2];
    ASSERT_EQ(::pipe(reports), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(reports[0]);
      RegFileStore store(file);
      for (long next = committed + 1;; ++next) {
        if (!SaveValue(store, "Counter", std::to_string(next))) ::_exit(1);
        if (::write(reports[1], &next, sizeof next) != sizeof next) ::_exit(2);
      }
    }
    ::close(reports[1]);
    // Time one save from report to report, then kill it at a random point of the next one.
    // (The random pause picks the moment; nothing waits on it to happen.)
    ReadReports(reports[0], 1, committed);
    const auto before = std::chrono::steady_clock::now();
    ReadReports(reports[0], 1, committed);
    const auto save = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - before);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (save.count() + 1)));
    ::kill(child, SIGKILL);
    ReadReports(reports[0], 1 << 30, committed);  // what it reported before it died
    ::close(reports[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed with " << WEXITSTATUS(status);

    const std::string text = ReadFile(file);
    std::optional<RegDocument> document;
    ASSERT_NO_THROW(document.emplace(RegDocument::Parse(text, "after kill")))
        << "a torn file after round " << round;
    const long stored = std::stol(document->FindValue(kKey, "Counter")->text);
    // Every reported commit is there; at most one more finished before the report went out.
    ASSERT_GE(stored, committed) << "round " << round;
    ASSERT_LE(stored, committed + 1) << "round " << round;
    committed = stored;
    ASSERT_EQ(text, WithValue(original, "Counter", std::to_string(stored)));
  }
}

TEST(RegFileStoreConcurrency, TwoProcessesSavingDifferentValuesAtOnceLoseNothing) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  WriteFile(file, BigTree("\n"));
  constexpr int kSaves = 40;
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  pid_t children[2];
  const char* names[2] = {"A", "B"};
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      ::close(start[1]);
      char go;
      (void)!::read(start[0], &go, 1);  // both begin together
      RegFileStore store(file);
      for (int i = 1; i <= kSaves; ++i) {
        // Hold the accessor open while the other process commits.
        auto registry = store.Open(RegistryAccess::Write);
        if (!registry->OpenKey(kKey)->WriteString(names[c], std::to_string(i))) ::_exit(1);
        if (!registry->Commit()) ::_exit(2);
      }
      ::_exit(0);
    }
  }
  ::close(start[0]);
  ::close(start[1]);
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RegFileStore store(file);
  EXPECT_EQ(ReadValue(store, "A"), std::to_string(kSaves));
  EXPECT_EQ(ReadValue(store, "B"), std::to_string(kSaves));
}

}  // namespace
}  // namespace platform
