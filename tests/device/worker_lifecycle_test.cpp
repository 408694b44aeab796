#include "device/worker_lifecycle.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

namespace device {
namespace {

using namespace std::chrono_literals;
using enum WorkerState;

constexpr std::array<WorkerState, 5> kStates{Starting, Polling, Terminating, Abandoned, Finished};

// Every pair of states, against the moves a worker may make: rows are from, columns to, in
// the order of kStates.
TEST(WorkerLifecycle, OnlyTheListedMovesAreAllowed) {
  constexpr bool kAllowed[5][5] = {
      //  Starting Polling Terminating Abandoned Finished
      {false, true, true, true, true},     // from Starting
      {false, false, true, true, false},   // from Polling
      {false, false, false, true, true},   // from Terminating
      {false, false, false, false, true},  // from Abandoned
      {false, false, false, false, false}  // from Finished
  };
  for (std::size_t from = 0; from < kStates.size(); ++from) {
    for (std::size_t to = 0; to < kStates.size(); ++to) {
      EXPECT_EQ(IsAllowedMove(kStates[from], kStates[to]), kAllowed[from][to])
          << "from " << from << " to " << to;
    }
  }
}

// The life of a worker that polls, is terminated, then abandoned at the program's end: each
// request wakes exactly the waits it should, and late or repeated requests change nothing.
TEST(WorkerLifecycle, RequestsWakeTheirWaitsAndLateOnesAreRefused) {
  WorkerLifecycle life;
  EXPECT_EQ(life.State(), Starting);
  EXPECT_FALSE(life.EndRequested());
  EXPECT_TRUE(life.MoveTo(Polling));
  EXPECT_FALSE(life.MoveTo(Starting));
  EXPECT_FALSE(life.EndToken().stop_requested());

  EXPECT_TRUE(life.MoveTo(Terminating));
  EXPECT_TRUE(life.EndRequested());
  EXPECT_TRUE(life.EndToken().stop_requested());
  EXPECT_FALSE(life.AbandonToken().stop_requested());  // the pause still runs its length
  EXPECT_FALSE(life.MoveTo(Polling));                  // a start-up ending late
  EXPECT_FALSE(life.MoveTo(Terminating));

  EXPECT_TRUE(life.MoveTo(Abandoned));
  EXPECT_TRUE(life.AbandonToken().stop_requested());
  EXPECT_FALSE(life.MoveTo(Terminating));  // Abandon wins over a later Terminate
  EXPECT_EQ(life.State(), Abandoned);

  EXPECT_TRUE(life.MoveTo(Finished));
  EXPECT_FALSE(life.MoveTo(Abandoned));
  EXPECT_FALSE(life.MoveTo(Terminating));
  EXPECT_TRUE(life.Finished());
}

TEST(WorkerLifecycle, ASleepEndsWhenTheWorkerIsAskedToEnd) {
  WorkerLifecycle life;
  const auto started = std::chrono::steady_clock::now();
  std::thread asker([&] {
    std::this_thread::sleep_for(20ms);
    life.MoveTo(Terminating);
  });
  life.Sleep(10s);
  asker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);

  // Once asked, a sleep returns at once.
  const auto again = std::chrono::steady_clock::now();
  life.Sleep(10s);
  EXPECT_LT(std::chrono::steady_clock::now() - again, 1s);
}

}  // namespace
}  // namespace device
