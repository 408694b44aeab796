// A thousand saves killed at random moments, with the settings file and its folder checked
// after each: long, so it carries the `soak` label and stays out of the everyday run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "platform/registry/reg_document.h"
#include "platform/registry/reg_file_store.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr char kKey[] = "SOFTWARE\\NORVANE\\Quelta\\Test";

std::string Tree() {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                     std::string(kKey) + "]\r\n\"Counter\"=\"0\"\r\n\r\n";
  for (int i = 0; i < 400; ++i) {
    text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Page" + std::to_string(i) +
            "]\r\n\"Left\"=\"" + std::to_string(i) + "\"\r\n\r\n";
  }
  return text;
}

bool ReadReport(int fd, long& last) {
  long value = 0;
  if (::read(fd, &value, sizeof value) != sizeof value) return false;
  last = value;
  return true;
}

int Temporaries(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(".registry.reg.", 0) == 0) ++count;
  }
  return count;
}

TEST(KilledSavesSoak, AThousandKilledSavesNeverTearTheFileNorLeaveTemporaries) {
  TempFolder folder;
  const auto file = folder / "registry.reg";
  WriteFile(file, Tree());
  std::mt19937 random(20261208);
  long committed = 0;
  int leftAtOnce = 0;
  for (int round = 0; round < 1000; ++round) {
    int reports[2];
    ASSERT_EQ(::pipe(reports), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(reports[0]);
      RegFileStore store(file);
      for (long next = committed + 1;; ++next) {
        auto registry = store.Open(RegistryAccess::Write);
        if (!registry->OpenKey(kKey)->WriteString("Counter", std::to_string(next)) ||
            !registry->Commit()) {
          ::_exit(1);
        }
        if (::write(reports[1], &next, sizeof next) != sizeof next) ::_exit(2);
      }
    }
    ::close(reports[1]);
    ASSERT_TRUE(ReadReport(reports[0], committed)) << "round " << round;
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(ReadReport(reports[0], committed)) << "round " << round;
    const auto save = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - before);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (save.count() + 1)));
    ::kill(child, SIGKILL);
    while (ReadReport(reports[0], committed)) {
    }
    ::close(reports[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed with " << WEXITSTATUS(status);

    std::optional<RegDocument> document;
    ASSERT_NO_THROW(document.emplace(RegDocument::Parse(ReadFile(file), "after kill")))
        << "a torn file after round " << round;
    const long stored = std::stol(document->FindValue(kKey, "Counter")->text);
    ASSERT_GE(stored, committed) << "round " << round;
    ASSERT_LE(stored, committed + 1) << "round " << round;
    committed = stored;
    // A kill can leave at most the one temporary of the save it cut short; the next save
    // removes it.
    const int left = Temporaries(folder.Path());
    ASSERT_LE(left, 1) << "round " << round;
    leftAtOnce = std::max(leftAtOnce, left);
  }
  RegFileStore store(file);
  auto registry = store.Open(RegistryAccess::Write);
  ASSERT_TRUE(registry->OpenKey(kKey)->WriteString("Counter", "done"));
  ASSERT_TRUE(registry->Commit());
  EXPECT_EQ(Temporaries(folder.Path()), 0);
  RecordProperty("MostTemporariesAfterAKill", leftAtOnce);
}

}  // namespace
}  // namespace platform
