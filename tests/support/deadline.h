#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace testing_support {

// A deadline for a step of a test that waits on something it cannot interrupt (a hand-over
// that never comes, a command that never returns): when the step has not ended, by the
// Deadline going out of scope, within `limit`, the test program ends at once with a failure
// that says what did not arrive. A hung thread cannot be stopped, and waiting on would hold
// the whole run until the test runner's own time-out, which names nothing.
class Deadline {
 public:
  Deadline(std::chrono::milliseconds limit, std::string what)
      : what_(std::move(what)), watcher_([this, limit] { Watch(limit); }) {}
  ~Deadline() {
    {
      const std::lock_guard lock(mutex_);
      ended_ = true;
    }
    changed_.notify_all();
    watcher_.join();
  }
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

 private:
  void Watch(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    if (changed_.wait_for(lock, limit, [this] { return ended_; })) return;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "[  FAILED  ] %s.%s: %s did not arrive within %lld ms\n",
                 test ? test->test_suite_name() : "?", test ? test->name() : "?", what_.c_str(),
                 static_cast<long long>(limit.count()));
    std::fflush(stderr);
    std::abort();
  }

  const std::string what_;
  std::mutex mutex_;  // guards ended_
  std::condition_variable changed_;
  bool ended_ = false;
  std::thread watcher_;  // last: it uses the members above
};

}  // namespace testing_support
