// What both lock backends share: the bounded wait built on a single attempt, and the holder
// record's text.
#include <charconv>
#include <condition_variable>

#include "platform/lock/named_mutex.h"

namespace platform {
namespace {

template <typename Number>
bool ParseWord(std::string_view& text, std::string_view word, Number& value) {
  if (!text.starts_with(word)) return false;
  text.remove_prefix(word.size());
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

}  // namespace

std::string HolderRecord(const LockHolder& holder) {
  return "pid " + std::to_string(holder.pid) + " uid " + std::to_string(holder.uid) + "\n";
}

std::optional<LockHolder> ParseHolderRecord(std::string_view text) {
  LockHolder holder;
  if (!ParseWord(text, "pid ", holder.pid) || !ParseWord(text, " uid ", holder.uid))
    return std::nullopt;
  if (!text.empty() && text != "\n") return std::nullopt;
  if (holder.pid <= 0) return std::nullopt;
  return holder;
}

bool NamedMutex::TryLock() {
  return TryTake() == Attempt::Taken;
}

void NamedMutex::Notify(Event event) const {
  if (observer_) observer_(event);
}

NamedMutex::WaitResult NamedMutex::LockWithin(std::chrono::milliseconds limit,
                                              std::stop_token stop) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::mutex sleeping;
  std::condition_variable_any woken;
  for (;;) {
    const Attempt attempt = TryTake();
    if (attempt == Attempt::Taken) return WaitResult::Acquired;
    if (attempt == Attempt::Failed) return WaitResult::Failed;
    const auto waited = Clock::now() - start;
    if (limit != kNoLimit && waited >= limit) return WaitResult::TimedOut;
    auto pause = std::chrono::duration_cast<Clock::duration>(kLockRetry);
    if (limit != kNoLimit) pause = std::min(pause, limit - waited);
    std::unique_lock lock(sleeping);
    // Nothing notifies: this is a pause that a stop request cuts short.
    woken.wait_for(lock, stop, pause, [] { return false; });
    if (stop.stop_requested()) return WaitResult::Stopped;
  }
}

}  // namespace platform
