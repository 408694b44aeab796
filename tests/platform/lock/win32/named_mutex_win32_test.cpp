#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stop_token>
#include <string>
#include <thread>

#include "device/device_identity.h"
#include "platform/lock/named_mutex.h"

namespace platform {
namespace {

// The holder program beside this one, started with the mutex's name and a tag of its own.
class Holder {
 public:
  Holder(const std::string& mutexName, const std::string& ending) {
    tag_ = "Local\\quelta-mutex-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++count_);
    taken_ = ::CreateEventA(nullptr, TRUE, FALSE, (tag_ + "-taken").c_str());
    go_ = ::CreateEventA(nullptr, TRUE, FALSE, (tag_ + "-go").c_str());
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.find_last_of("\\/") + 1) + "named_mutex_holder.exe";
    std::string line = "\"" + program + "\" \"" + mutexName + "\" " + tag_ + " " + ending;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = ::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process_) != FALSE;
  }
  ~Holder() {
    if (started_) {
      ::SetEvent(go_);
      ::WaitForSingleObject(process_.hProcess, 10000);
      ::CloseHandle(process_.hProcess);
      ::CloseHandle(process_.hThread);
    }
    ::CloseHandle(taken_);
    ::CloseHandle(go_);
  }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  // Whether the holder said it took the mutex within 10 s.
  bool Took() const { return started_ && ::WaitForSingleObject(taken_, 10000) == WAIT_OBJECT_0; }
  // Tells the holder to go on, and waits (at most 10 s) until it has ended.
  bool GoAndEnd() const {
    ::SetEvent(go_);
    return ::WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0;
  }

 private:
  static inline int count_ = 0;
  std::string tag_;
  HANDLE taken_ = nullptr;
  HANDLE go_ = nullptr;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

TEST(NamedMutexOnWindows, ASecondProcessIsKeptOutUntilTheFirstReleases) {
  const std::string name(device::kAccessMutexName);
  Holder holder(name, "release");
  ASSERT_TRUE(holder.Took()) << "the holder did not say it took the mutex within 10 s";
  const auto opened = NamedMutex::Open(name, {});
  ASSERT_NE(opened.mutex, nullptr) << opened.error;
  EXPECT_FALSE(opened.mutex->TryLock());

  // A waiter blocked in Lock gets the mutex once the holder lets go, and not before.
  std::atomic<bool> got{false};
  std::thread waiter([&] {
    got = opened.mutex->Lock();
    opened.mutex->Unlock();
  });
  EXPECT_FALSE(got);
  ASSERT_TRUE(holder.GoAndEnd()) << "the holder did not end within 10 s";
  waiter.join();
  EXPECT_TRUE(got);
  EXPECT_TRUE(opened.mutex->TryLock());
  opened.mutex->Unlock();
}

TEST(NamedMutexOnWindows, AMutexLeftByADeadHolderIsTaken) {
  const std::string name = "Local\\quelta-abandoned-" + std::to_string(::GetCurrentProcessId());
  Holder holder(name, "abandon");
  ASSERT_TRUE(holder.Took()) << "the holder did not say it took the mutex within 10 s";
  const auto opened = NamedMutex::Open(name, {});
  ASSERT_NE(opened.mutex, nullptr) << opened.error;
  EXPECT_FALSE(opened.mutex->TryLock());
  ASSERT_TRUE(holder.GoAndEnd()) << "the holder did not end within 10 s";
  EXPECT_TRUE(opened.mutex->TryLock()) << "WAIT_ABANDONED counts as taken";
  opened.mutex->Unlock();
  // Released properly now: a plain wait takes it again.
  EXPECT_TRUE(opened.mutex->Lock());
  opened.mutex->Unlock();
}

TEST(NamedMutexOnWindows, ABoundedWaitEndsOnItsLimitAStopOrTheRelease) {
  using namespace std::chrono_literals;
  using W = NamedMutex::WaitResult;
  const std::string name = "Local\\quelta-within-" + std::to_string(::GetCurrentProcessId());
  Holder holder(name, "release");
  ASSERT_TRUE(holder.Took()) << "the holder did not say it took the mutex within 10 s";
  const auto opened = NamedMutex::Open(name, {});
  ASSERT_NE(opened.mutex, nullptr) << opened.error;
  for (const auto limit : {0ms, 1ms, 60ms}) {
    EXPECT_EQ(opened.mutex->LockWithin(limit), W::TimedOut) << limit.count();
  }
  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(opened.mutex->LockWithin(NamedMutex::kNoLimit, stop.get_token()), W::Stopped);
  // The kernel mutex keeps no holder's name: whoever waits is told of an unknown process.
  EXPECT_EQ(opened.mutex->Holder(), std::nullopt);
  EXPECT_EQ(HolderText(opened.mutex->Holder()), "an unknown process");
  EXPECT_EQ(HolderText(LockHolder{77, 1000}), "pid 77, user 1000");

  ASSERT_TRUE(holder.GoAndEnd()) << "the holder did not end within 10 s";
  EXPECT_EQ(opened.mutex->LockWithin(0ms), W::Acquired);
  // Another thread is kept out of a bounded wait as another process would be.
  W other = W::Acquired;
  std::thread([&] { other = opened.mutex->LockWithin(1ms); }).join();
  EXPECT_EQ(other, W::TimedOut);
  opened.mutex->Unlock();
}

TEST(NamedMutexOnWindows, OpeningTwiceInOneProcessSharesTheMutex) {
  const std::string name = "Local\\quelta-twice-" + std::to_string(::GetCurrentProcessId());
  const auto first = NamedMutex::Open(name, {});
  const auto second = NamedMutex::Open(name, {});
  ASSERT_NE(first.mutex, nullptr);
  ASSERT_NE(second.mutex, nullptr);
  ASSERT_TRUE(first.mutex->TryLock());
  // Another thread, through the second object, is kept out.
  bool otherGot = true;
  std::thread([&] { otherGot = second.mutex->TryLock(); }).join();
  EXPECT_FALSE(otherGot);
  first.mutex->Unlock();
  std::thread([&] {
    otherGot = second.mutex->TryLock();
    if (otherGot) second.mutex->Unlock();
  }).join();
  EXPECT_TRUE(otherGot);
  EXPECT_EQ(NamedMutex::Open("", {}).error, "named mutex: the name is empty");
}

}  // namespace
}  // namespace platform
