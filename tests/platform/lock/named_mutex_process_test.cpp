#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/lock/named_mutex.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using testing_support::TempFolder;

constexpr char kName[] = "Global\\Access_Norvane_KORL";

// A child process that takes the mutex, tells the parent through a pipe, and then waits
// until it is killed or told to end.
struct Holder {
  pid_t pid = -1;
  int toParent[2] = {-1, -1};
  int toChild[2] = {-1, -1};

  explicit Holder(const TempFolder& dir) {
    if (pipe(toParent) != 0 || pipe(toChild) != 0) return;
    pid = fork();
    if (pid == 0) {
      auto mutex = NamedMutex::Open(kName, dir.Path()).mutex;
      const char taken = mutex && mutex->Lock() ? 'y' : 'n';
      if (write(toParent[1], &taken, 1) != 1) _exit(2);
      char order = 0;
      if (read(toChild[0], &order, 1) == 1 && order == 'u') mutex->Unlock();
      _exit(0);  // without releasing unless told: the kernel drops the file lock
    }
  }
  bool Took() const {
    char taken = 0;
    return pid > 0 && read(toParent[0], &taken, 1) == 1 && taken == 'y';
  }
  void Tell(char order) const { ASSERT_EQ(write(toChild[1], &order, 1), 1); }
  int Wait() const {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }
  ~Holder() {
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]})
      if (fd >= 0) close(fd);
  }
};

TEST(NamedMutexAcrossProcesses, ASecondProcessWaitsForTheFirst) {
  TempFolder dir;
  Holder holder(dir);
  ASSERT_TRUE(holder.Took());
  auto mutex = NamedMutex::Open(kName, dir.Path()).mutex;
  ASSERT_NE(mutex, nullptr);
  EXPECT_FALSE(mutex->TryLock());
  holder.Tell('u');
  holder.Wait();
  EXPECT_TRUE(mutex->TryLock());
  mutex->Unlock();
}

TEST(NamedMutexAcrossProcesses, ALockLeftByADeadProcessIsAcquired) {
  TempFolder dir;
  Holder holder(dir);
  ASSERT_TRUE(holder.Took());
  auto mutex = NamedMutex::Open(kName, dir.Path()).mutex;
  ASSERT_NE(mutex, nullptr);
  EXPECT_FALSE(mutex->TryLock());
  kill(holder.pid, SIGKILL);
  EXPECT_TRUE(WIFSIGNALED(holder.Wait()));
  // The holder died holding it: the next taker gets it at once instead of waiting forever.
  EXPECT_TRUE(mutex->Lock());
  mutex->Unlock();
}

}  // namespace
}  // namespace platform
