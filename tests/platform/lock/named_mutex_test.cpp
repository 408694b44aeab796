#include "platform/lock/named_mutex.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <optional>
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

TEST(NamedMutex, TheHolderIsNamedInTheFileWhileItHoldsAndOnlyThen) {
  TempFolder dir;
  auto holder = OpenIn(dir);
  auto waiter = OpenIn(dir);
  EXPECT_EQ(waiter->Holder(), std::nullopt);
  const LockHolder us{::getpid(), ::getuid()};
  ASSERT_TRUE(holder->Lock());
  EXPECT_EQ(waiter->Holder(), us);
  holder->Unlock();
  EXPECT_EQ(waiter->Holder(), std::nullopt);  // emptied before the release
  ASSERT_TRUE(holder->TryLock());
  EXPECT_EQ(waiter->Holder(), us);
  holder->Unlock();
  EXPECT_EQ(std::filesystem::file_size(holder->LockFilePath()), 0u);
}

TEST(NamedMutex, AHolderRecordIsReadOnlyWhenItIsExactlyOne) {
  EXPECT_EQ(HolderRecord({4242, 1000}), "pid 4242 uid 1000\n");
  EXPECT_EQ(ParseHolderRecord("pid 4242 uid 1000\n"), (LockHolder{4242, 1000}));
  EXPECT_EQ(ParseHolderRecord("pid 1 uid 0"), (LockHolder{1, 0}));
  EXPECT_EQ(ParseHolderRecord("pid 4242 uid 4294967295\n"), (LockHolder{4242, 4294967295u}));
  // Anyone may write into the shared file: whatever is not a record names no one.
  for (const char* garbage :
       {"", "\n", "pid 4242", "pid 4242 uid", "pid 0 uid 1000", "pid -7 uid 1000",
        "pid 4242 uid -1", "pid 4242 uid 4294967296", "pid 4242 uid 1000 and more",
        "pid 4242 uid 1000\n\n", "pid x uid 1000", "PID 4242 UID 1000", " pid 4242 uid 1000",
        "pid 99999999999999999999 uid 1000"}) {
    EXPECT_EQ(ParseHolderRecord(garbage), std::nullopt) << garbage;
  }
  TempFolder dir;
  auto mutex = OpenIn(dir);
  std::ofstream(mutex->LockFilePath()) << std::string(10000, '7');
  EXPECT_EQ(mutex->Holder(), std::nullopt);

  EXPECT_EQ(HolderText(std::nullopt), "an unknown process");
  EXPECT_EQ(HolderText(LockHolder{77, 0}), "pid 77, user root");
  // A uid without an entry in the user database is shown as the number.
  EXPECT_EQ(HolderText(LockHolder{77, 3999999999u}), "pid 77, user 3999999999");
}

// Every wait below has its own deadline; a wait that never ends fails with what it awaited.
template <typename T>
T Within(std::future<T>& result, const char* what) {
  if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << what << " did not return within 10 s";
    std::abort();  // the thread cannot be stopped; waiting on would hang the run
  }
  return result.get();
}

TEST(NamedMutex, ALimitedWaitGivesUpAtItsLimitAndTakesALockThatComesFree) {
  using namespace std::chrono_literals;
  TempFolder dir;
  auto holder = OpenIn(dir);
  auto waiter = OpenIn(dir);
  ASSERT_TRUE(holder->Lock());
  using W = NamedMutex::WaitResult;
  for (const auto limit : {0ms, 1ms, 60ms}) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(waiter->LockWithin(limit), W::TimedOut) << limit.count();
    EXPECT_GE(std::chrono::steady_clock::now() - start, limit);
  }
  // Released while the other waits without limit: the waiter takes it and names itself.
  // What the waiter holds it releases on its own thread.
  struct Seen {
    W result;
    std::optional<LockHolder> named;
    bool othersShutOut;
  };
  auto waited = std::async(std::launch::async, [&] {
    Seen seen{waiter->LockWithin(NamedMutex::kNoLimit), holder->Holder(), false};
    if (seen.result == W::Acquired) {
      seen.othersShutOut = !holder->TryLock();
      waiter->Unlock();
    }
    return seen;
  });
  holder->Unlock();
  const Seen seen = Within(waited, "a wait for a lock that came free");
  EXPECT_EQ(seen.result, W::Acquired);
  EXPECT_EQ(seen.named, (LockHolder{::getpid(), ::getuid()}));
  EXPECT_TRUE(seen.othersShutOut);
  // Free at once: even a limit of 0 takes it.
  EXPECT_EQ(waiter->LockWithin(0ms), W::Acquired);
  waiter->Unlock();
}

TEST(NamedMutex, AWaitWithoutLimitEndsWhenItIsStopped) {
  TempFolder dir;
  auto holder = OpenIn(dir);
  auto waiter = OpenIn(dir);
  ASSERT_TRUE(holder->Lock());
  std::stop_source stop;
  auto waited = std::async(std::launch::async, [&] {
    return waiter->LockWithin(NamedMutex::kNoLimit, stop.get_token());
  });
  stop.request_stop();
  EXPECT_EQ(Within(waited, "a stopped wait"), NamedMutex::WaitResult::Stopped);
  EXPECT_EQ(waiter->Holder(), (LockHolder{::getpid(), ::getuid()}));  // still the holder's
  holder->Unlock();
}

}  // namespace
}  // namespace platform
