#pragma once

#include <functional>
#include <mutex>

#include "platform/ui/file_error.h"

namespace ui {

// Where a picture whose pixels fail to decode is told of. Pixels are decoded on first draw,
// on whichever thread draws first (the UI thread's paint, a decoding-ahead thread), long after
// the file was loaded; the application owns one of these and listens. Any thread may report.
class DecodeFailures {
 public:
  // The listener runs on the reporting thread, under this object's lock: it must be quick and
  // thread-safe (post to the UI thread) and must not set a listener itself. None: nobody hears.
  using Listener = std::function<void(const FileError&)>;

  void SetListener(Listener listener);
  void Report(const FileError& failure) const;

 private:
  mutable std::mutex mutex_;
  Listener listener_;  // guarded by mutex_; cleared before what it reaches is gone
};

}  // namespace ui
