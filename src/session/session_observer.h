#pragma once

#include <cstdint>

#include "session/poll_news.h"

namespace session {

class MonitorSession;

// What a view of the session is told. Every call runs on the UI thread, after the session has
// taken in what it reports, so a view reads the session's state and only draws or prints.
class SessionObserver {
 public:
  virtual ~SessionObserver() = default;

  // The worker's start-up read the power rating; 0 is a rating the program does not support.
  virtual void PowerRatingReady(const MonitorSession& /*session*/, std::int32_t /*rating*/) {}
  // Once per poll the worker handed over, after all of its groups.
  virtual void PollCompleted(const MonitorSession& /*session*/, const PollNews& /*news*/) {}
  // The worker ended (its ConnectionRemoved hand-over).
  virtual void WorkerEnded(const MonitorSession& /*session*/) {}
  // The connection was made or lost.
  virtual void ConnectionChanged(const MonitorSession& /*session*/, bool /*connected*/) {}
};

}  // namespace session
