#include "platform/ui/decode_failures.h"

namespace ui {

void DecodeFailures::SetListener(Listener listener) {
  const std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

void DecodeFailures::Report(const FileError& failure) const {
  // Held while it runs, so once a listener is cleared none of its calls is still under way.
  const std::lock_guard lock(mutex_);
  if (listener_) listener_(failure);
}

}  // namespace ui
