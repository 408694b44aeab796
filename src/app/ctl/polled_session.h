#pragma once

#include "app/ctl/ctl_environment.h"
#include "app/ctl/status_snapshot.h"
#include "session/monitor_session.h"
#include "session/session_observer.h"

namespace app::ctl {

// The session that `alarms check`, `gauge` and `metrics` query: the stored alarm settings held
// in memory, then one poll's readings handed over group by group as the worker hands them over,
// judged as the window judges them while its monitor page is shown. The commands only print
// what it holds.
class PolledSession {
 public:
  PolledSession();
  PolledSession(const PolledSession&) = delete;
  PolledSession& operator=(const PolledSession&) = delete;

  // Loads the stored alarm settings, then reads one status snapshot under the access lock and
  // hands it over. The settings come first: a broken settings file touches no device. Returns
  // exit 0, or the code of what failed (4 for the settings file, with its text on the error
  // stream; the lock's and device's codes as RunUnderAccessLock gives them, with nothing
  // handed over).
  int Poll(CtlEnvironment& environment);
  // Hands over the groups of `snapshot` that were read, judged by the alarm settings the
  // session holds; the groups are kept for the commands that need to know what was read.
  void Take(const StatusSnapshot& snapshot);

  const session::MonitorSession& Session() const { return session_; }
  // For the stored alarm settings, as a load (or a test standing in for one) puts them.
  session::MonitorSession& Session() { return session_; }
  // The groups of the poll handed over; none until then.
  const StatusGroups& Groups() const { return groups_; }
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
  StatusGroups groups_;
  Told told_;
};

}  // namespace app::ctl
