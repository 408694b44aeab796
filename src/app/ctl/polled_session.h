#pragma once

#include "app/ctl/judged_poll.h"
#include "session/monitor_session.h"
#include "session/session_observer.h"

namespace app::ctl {

// The session that `alarms check` and `gauge` query: the stored alarm settings held in memory,
// then the poll's readings handed over group by group as the worker hands them over, judged as
// the window judges them while its monitor page is shown. The commands only print what it holds.
class PolledSession {
 public:
  explicit PolledSession(const JudgedPoll& poll);
  PolledSession(const PolledSession&) = delete;
  PolledSession& operator=(const PolledSession&) = delete;

  const session::MonitorSession& Session() const { return session_; }
  // Whether the poll completed: every reading the alarms judge was read, so they were judged.
  bool Complete() const { return told_.news.complete; }

 private:
  // Keeps what the session told of the poll.
  struct Told final : session::SessionObserver {
    void PollCompleted(const session::MonitorSession&, const session::PollNews& n) override {
      news = n;
    }
    session::PollNews news;
  };

  session::MonitorSession session_;
  Told told_;
};

}  // namespace app::ctl
