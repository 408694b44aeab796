#pragma once

#include <windows.h>

#include <chrono>
#include <exception>
#include <map>
#include <memory>

#include "platform/ui/event_loop.h"
#include "platform/ui/posted_tasks.h"

namespace ui::win32 {

// The UI thread's loop on Windows: the thread's own message loop. Posted tasks wait in a queue
// and a private message posted to a hidden message-only window of the loop drains it, so they
// run in post order between the desktop's messages; timers are the system's (SetTimer on the
// same window), so a window's paints and inputs and the program's ticks share one queue. Make
// the loop on the thread that will call Run: its window's messages go to that thread.
class Win32EventLoop : public EventLoop {
 public:
  // The private message that tells the loop's window to run the tasks waiting.
  static constexpr UINT kRunTasks = WM_APP + 0x51;
  // The private message that ends Run once what was posted before it has run.
  static constexpr UINT kQuitLoop = WM_APP + 0x52;

  Win32EventLoop();
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  void Post(Task fn) override;
  TimerId StartTimer(std::chrono::milliseconds interval, Task onTick) override;
  void StopTimer(TimerId id) override;
  Clock Now() const override;
  // Runs the thread's messages until Quit. An exception that escapes a task or tick with no
  // error handler set leaves Run (thrown again here, outside the system's window procedure).
  void Run() override;
  void Quit() override;

  // The hidden window the loop's messages go to (for tests and the window backend).
  HWND MessageWindow() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunTasks();
  void RunTick(TimerId id);
  // Runs one task; an exception with nowhere to go is kept for Run to throw.
  void RunKept(const Task& task);

  const std::chrono::steady_clock::time_point start_;
  HWND window_ = nullptr;
  PostedTasks tasks_;
  // Running timers by id (the id is also the system timer's id). UI thread only.
  std::map<TimerId, std::shared_ptr<const Task>> timers_;
  TimerId lastTimer_ = 0;
  std::exception_ptr escaped_;  // UI thread only
};

}  // namespace ui::win32
