#include "platform/ui/qt/qt_event_loop.h"

#include <QEventLoop>
#include <QMetaObject>

namespace ui::qt {

QtEventLoop::QtEventLoop() : context_(std::make_unique<QObject>()) {
  clock_.start();
}

QtEventLoop::~QtEventLoop() {
  for (auto& [id, entry] : timers_) {
    if (entry.timer) entry.timer->stop();
  }
}

void QtEventLoop::Post(Task fn) {
  QMetaObject::invokeMethod(
      context_.get(), [this, fn = std::move(fn)] { RunGuarded(fn); }, Qt::QueuedConnection);
}

EventLoop::TimerId QtEventLoop::StartTimer(std::chrono::milliseconds interval, Task onTick) {
  const TimerId id = ++lastId_;
  Entry entry{nullptr, std::make_shared<const Task>(std::move(onTick))};
  // A QTimer of interval 0 would fire at every turn of the loop; ours never fires.
  if (interval.count() > 0) {
    entry.timer = std::make_unique<QTimer>();
    entry.timer->setTimerType(Qt::PreciseTimer);
    entry.timer->setInterval(interval);
    QObject::connect(entry.timer.get(), &QTimer::timeout, context_.get(),
                     [this, id, tick = entry.onTick] {
                       struct Ticking {
                         TimerId& now;
                         TimerId outer;
                         ~Ticking() { now = outer; }
                       } ticking{ticking_, ticking_};
                       ticking_ = id;
                       RunGuarded(*tick);
                     });
    entry.timer->start();
  }
  timers_.emplace(id, std::move(entry));
  return id;
}

void QtEventLoop::StopTimer(TimerId id) {
  const auto found = timers_.find(id);
  if (found == timers_.end()) return;
  if (found->second.timer) {
    found->second.timer->stop();
    // A timer that stops itself from its own timeout is deleted once that has returned.
    if (id == ticking_) found->second.timer.release()->deleteLater();
  }
  timers_.erase(found);
}

EventLoop::Clock QtEventLoop::Now() const {
  return Clock{clock_.elapsed()};
}

void QtEventLoop::Run() {
  QEventLoop loop;
  running_ = &loop;
  if (quitPending_) {
    quitPending_ = false;
    Quit();  // queued behind the tasks already posted
  }
  loop.exec();
  running_ = nullptr;
}

void QtEventLoop::Quit() {
  QMetaObject::invokeMethod(
      context_.get(),
      [this] {
        if (running_) {
          running_->quit();
        } else {
          quitPending_ = true;
        }
      },
      Qt::QueuedConnection);
}

}  // namespace ui::qt
