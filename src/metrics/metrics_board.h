#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace metrics {

// The metrics text of the last poll, put up by the thread that judges polls and read by the
// thread that serves it: a reader takes the text as it stood and never waits for a poll.
class MetricsBoard {
 public:
  void Publish(std::string text) {
    auto next = std::make_shared<const std::string>(std::move(text));
    const std::lock_guard lock(mutex_);  // guards only the swap of the pointer
    text_ = std::move(next);
  }

  // Null until the first Publish.
  std::shared_ptr<const std::string> Latest() const {
    const std::lock_guard lock(mutex_);
    return text_;
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const std::string> text_;
};

}  // namespace metrics
