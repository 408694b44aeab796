#include "app/ctl/termination_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace app::ctl {
namespace {

sigset_t TerminationSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal)
    : onSignal_(std::move(onSignal)) {
  const sigset_t set = TerminationSet();
  masked_ = pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
  if (!masked_) return;
  signalFd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  raiseFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (signalFd_ < 0 || wakeFd_ < 0 || raiseFd_ < 0) return;
  thread_ = std::thread([this] { Watch(); });
}

TerminationSignals::~TerminationSignals() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    while (write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  if (signalFd_ >= 0) close(signalFd_);
  if (wakeFd_ >= 0) close(wakeFd_);
  if (raiseFd_ >= 0) close(raiseFd_);
  if (masked_) {
    const sigset_t set = TerminationSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  }
}

void TerminationSignals::Raise() {
  const std::uint64_t one = 1;
  while (write(raiseFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void TerminationSignals::Watch() {
  while (true) {
    pollfd fds[3] = {{signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}, {raiseFd_, POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    std::uint64_t raised = 0;
    if (fds[2].revents != 0 && read(raiseFd_, &raised, sizeof raised) == sizeof raised) {
      onSignal_(0);
    }
    signalfd_siginfo info{};
    while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
      onSignal_(static_cast<int>(info.ssi_signo));
    }
  }
}

}  // namespace app::ctl
