#include "platform/lock/named_mutex.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace platform {
namespace {

using testing_support::TempFolder;

constexpr char kName[] = "Global\\Access_Norvane_KORL";

std::unique_ptr<NamedMutex> OpenIn(const TempFolder& dir, std::string_view name = kName) {
  NamedMutex::OpenResult opened = NamedMutex::Open(name, dir.Path());
  EXPECT_NE(opened.mutex, nullptr) << opened.error;
  return std::move(opened.mutex);
}

TEST(NamedMutex, NamesMapToDistinctSafeFileNames) {
  EXPECT_EQ(LockFileName(kName), "named-mutex-Global%5CAccess_Norvane_KORL.lock");
  EXPECT_NE(LockFileName("a\\b"), LockFileName("a%5Cb"));
  EXPECT_EQ(LockFileName("../x").find('/'), std::string::npos);
  TempFolder dir;
  EXPECT_EQ(NamedMutex::Open("", dir.Path()).mutex, nullptr);
  EXPECT_EQ(NamedMutex::Open(std::string(300, 'x'), dir.Path()).mutex, nullptr);
}

TEST(NamedMutex, TheLockFileIsARegularFileEveryUserMayOpen) {
  TempFolder dir;
  const mode_t previous = umask(077);
  auto mutex = OpenIn(dir);
  umask(previous);
  struct stat info {};
  ASSERT_EQ(stat(mutex->LockFilePath().c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0666u);
  // A second opener shares the existing file.
  EXPECT_EQ(OpenIn(dir)->LockFilePath(), mutex->LockFilePath());
}

TEST(NamedMutex, RefusesWhatSomeoneElsePlantedInTheSharedDirectory) {
  TempFolder dir;
  const std::filesystem::path file = dir.Path() / LockFileName(kName);
  const std::filesystem::path victim = dir.Path() / "victim";

  std::filesystem::create_symlink(victim, file);
  NamedMutex::OpenResult link = NamedMutex::Open(kName, dir.Path());
  EXPECT_EQ(link.mutex, nullptr);
  EXPECT_NE(link.error.find("symbolic link"), std::string::npos) << link.error;
  EXPECT_FALSE(std::filesystem::exists(victim));  // the link was not followed to create it
  std::filesystem::remove(file);

  ASSERT_EQ(mkfifo(file.c_str(), 0666), 0);
  NamedMutex::OpenResult fifo = NamedMutex::Open(kName, dir.Path());  // must not block
  EXPECT_EQ(fifo.mutex, nullptr);
  EXPECT_NE(fifo.error.find(file.string()), std::string::npos) << fifo.error;
  std::filesystem::remove(file);

  std::ofstream(victim) << "precious";
  std::filesystem::create_hard_link(victim, file);
  EXPECT_EQ(NamedMutex::Open(kName, dir.Path()).mutex, nullptr);
}

TEST(NamedMutex, AMissingDirectoryIsReportedWithItsPath) {
  TempFolder dir;
  const NamedMutex::OpenResult opened = NamedMutex::Open(kName, dir.Path() / "missing");
  EXPECT_EQ(opened.mutex, nullptr);
  EXPECT_NE(opened.error.find((dir.Path() / "missing").string()), std::string::npos);
}

TEST(NamedMutex, TheDirectoryComesFromTheEnvironmentOrIsTmp) {
  const char* saved = std::getenv("QUELTA_LOCK_DIR");
  const std::string restore = saved ? saved : "";
  setenv("QUELTA_LOCK_DIR", "/some/where", 1);
  EXPECT_EQ(DefaultLockDirectory(), "/some/where");
  setenv("QUELTA_LOCK_DIR", "", 1);
  EXPECT_EQ(DefaultLockDirectory(), "/tmp");
  if (saved) {
    setenv("QUELTA_LOCK_DIR", restore.c_str(), 1);
  } else {
    unsetenv("QUELTA_LOCK_DIR");
  }
}

TEST(NamedMutex, TwoOpenersOfOneNameExcludeEachOther) {
  TempFolder dir;
  auto first = OpenIn(dir);
  auto second = OpenIn(dir);
  auto other = OpenIn(dir, "Global\\Other");
  ASSERT_TRUE(first->Lock());
  EXPECT_FALSE(second->TryLock());
  EXPECT_TRUE(other->TryLock());  // another name is another lock
  other->Unlock();
  first->Unlock();
  EXPECT_TRUE(second->TryLock());
  second->Unlock();
}

TEST(NamedMutex, ThreadsNeverHoldItTogether) {
  TempFolder dir;
  auto shared = OpenIn(dir);
  auto own = OpenIn(dir);
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  const auto hammer = [&](NamedMutex& mutex) {
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(mutex.Lock());
      if (inside.fetch_add(1) != 0) overlapped = true;
      std::this_thread::yield();
      inside.fetch_sub(1);
      mutex.Unlock();
    }
  };
  // Two threads on one object, one on an object of its own with the same name.
  std::thread a(hammer, std::ref(*shared));
  std::thread b(hammer, std::ref(*shared));
  std::thread c(hammer, std::ref(*own));
  a.join();
  b.join();
  c.join();
  EXPECT_FALSE(overlapped);
}

TEST(NamedMutex, TheObserverHearsEveryTakeAndReleaseWhileTheLockIsHeld) {
  TempFolder dir;
  auto mutex = OpenIn(dir);
  auto rival = OpenIn(dir);
  std::vector<std::pair<NamedMutex::Event, bool>> events;  // with: was the lock held then?
  mutex->SetObserver([&](NamedMutex::Event event) {
    const bool rivalGotIt = rival->TryLock();
    if (rivalGotIt) rival->Unlock();
    events.emplace_back(event, !rivalGotIt);
  });
  ASSERT_TRUE(mutex->Lock());
  mutex->Unlock();
  ASSERT_TRUE(mutex->TryLock());
  std::thread([&] { EXPECT_FALSE(mutex->TryLock()); }).join();  // a failed try says nothing
  mutex->Unlock();
  using E = NamedMutex::Event;
  EXPECT_EQ(events,
            (std::vector<std::pair<E, bool>>{
                {E::Locked, true}, {E::Unlocking, true}, {E::Locked, true}, {E::Unlocking, true}}));
}

}  // namespace
}  // namespace platform
