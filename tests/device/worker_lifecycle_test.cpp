#include "device/worker_lifecycle.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace device {
namespace {

using namespace std::chrono_literals;
using enum WorkerState;

// A worker brought to `state` by the moves a real one makes on the way there.
std::unique_ptr<WorkerLifecycle> WorkerIn(WorkerState state) {
  auto life = std::make_unique<WorkerLifecycle>();
  const auto move = [&](WorkerState to) { EXPECT_TRUE(life->MoveTo(to)) << "on the way"; };
  switch (state) {
    case Starting:
      break;
    case Polling:
      move(Polling);
      break;
    case Terminating:
      move(Polling);
      move(Terminating);
      break;
    case Abandoned:
      move(Polling);
      move(Abandoned);
      break;
    case Finished:
      move(Finished);
      break;
  }
  EXPECT_EQ(life->State(), state);
  return life;
}

// Whether a worker in `from` makes the move to `to`; a refused move leaves it where it was.
bool Moves(WorkerState from, WorkerState to) {
  const std::unique_ptr<WorkerLifecycle> life = WorkerIn(from);
  const bool moved = life->MoveTo(to);
  EXPECT_EQ(life->State(), moved ? to : from);
  EXPECT_EQ(IsAllowedMove(from, to), moved);
  return moved;
}

TEST(WorkerLifecycle, NoWorkerGoesBackToStarting) {
  EXPECT_FALSE(Moves(Starting, Starting));
  EXPECT_FALSE(Moves(Polling, Starting));
  EXPECT_FALSE(Moves(Terminating, Starting));
  EXPECT_FALSE(Moves(Abandoned, Starting));
  EXPECT_FALSE(Moves(Finished, Starting));
}

// Polling begins once, when the start-up reads succeed; a start-up that ends after the
// worker was asked to end starts nothing.
TEST(WorkerLifecycle, OnlyAStartingWorkerBeginsToPoll) {
  EXPECT_TRUE(Moves(Starting, Polling));
  EXPECT_FALSE(Moves(Polling, Polling));
  EXPECT_FALSE(Moves(Terminating, Polling));
  EXPECT_FALSE(Moves(Abandoned, Polling));
  EXPECT_FALSE(Moves(Finished, Polling));
}

// Termination is asked of a live worker once; abandoning outranks it, and a finished worker
// has nothing left to end.
TEST(WorkerLifecycle, TerminationIsTakenFromAStartingOrPollingWorkerOnly) {
  EXPECT_TRUE(Moves(Starting, Terminating));
  EXPECT_TRUE(Moves(Polling, Terminating));
  EXPECT_FALSE(Moves(Terminating, Terminating));
  EXPECT_FALSE(Moves(Abandoned, Terminating));
  EXPECT_FALSE(Moves(Finished, Terminating));
}

// The program's end abandons whatever worker has not finished, even one already terminating.
TEST(WorkerLifecycle, AbandonReachesEveryWorkerThatHasNotFinished) {
  EXPECT_TRUE(Moves(Starting, Abandoned));
  EXPECT_TRUE(Moves(Polling, Abandoned));
  EXPECT_TRUE(Moves(Terminating, Abandoned));
  EXPECT_FALSE(Moves(Abandoned, Abandoned));
  EXPECT_FALSE(Moves(Finished, Abandoned));
}

// A worker that could not start finishes at once; a polling one only after it was asked to
// end, so that whoever asked sees the request taken.
TEST(WorkerLifecycle, AWorkerFinishesFromItsStartUpOrOnceAskedToEnd) {
  EXPECT_TRUE(Moves(Starting, Finished));
  EXPECT_FALSE(Moves(Polling, Finished));
  EXPECT_TRUE(Moves(Terminating, Finished));
  EXPECT_TRUE(Moves(Abandoned, Finished));
  EXPECT_FALSE(Moves(Finished, Finished));
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
