#include "platform/ui/win32/win32_event_loop.h"

#include <stdexcept>
#include <utility>

namespace ui::win32 {
namespace {

constexpr const char* kLoopClass = "QueltaLoop";

void RegisterLoopClass(WNDPROC proc) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kLoopClass;
  // A second loop in the same process finds the class already there, which is fine.
  ::RegisterClassExA(&windowClass);
}

}  // namespace

Win32EventLoop::Win32EventLoop() : start_(std::chrono::steady_clock::now()) {
  RegisterLoopClass(&Win32EventLoop::WindowProc);
  window_ = ::CreateWindowExA(0, kLoopClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) throw std::runtime_error("the event loop's message window was refused");
  ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop() {
  for (const auto& [id, task] : timers_) ::KillTimer(window_, static_cast<UINT_PTR>(id));
  ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

void Win32EventLoop::Post(Task fn) {
  tasks_.Push(std::move(fn));
  // One message per task keeps tasks in their place among the desktop's messages; the
  // handler drains the queue, so a message that finds it empty costs nothing.
  ::PostMessageA(window_, kRunTasks, 0, 0);
}

EventLoop::TimerId Win32EventLoop::StartTimer(std::chrono::milliseconds interval, Task onTick) {
  const TimerId id = ++lastTimer_;
  // An interval of 0 never fires: the timer exists (StopTimer accepts it) but is never set.
  if (interval.count() <= 0) return id;
  timers_.emplace(id, std::make_shared<const Task>(std::move(onTick)));
  ::SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(interval.count()), nullptr);
  return id;
}

void Win32EventLoop::StopTimer(TimerId id) {
  if (timers_.erase(id) == 0) return;
  ::KillTimer(window_, static_cast<UINT_PTR>(id));
  // A tick already queued for it is dropped by RunTick, which finds no timer.
}

EventLoop::Clock Win32EventLoop::Now() const {
  return std::chrono::duration_cast<Clock>(std::chrono::steady_clock::now() - start_);
}

void Win32EventLoop::Run() {
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
    if (escaped_) {
      std::exception_ptr escaped = std::exchange(escaped_, nullptr);
      std::rethrow_exception(escaped);
    }
  }
}

void Win32EventLoop::Quit() {
  // Posted behind the tasks already posted, so they run first.
  ::PostMessageA(window_, kQuitLoop, 0, 0);
}

void Win32EventLoop::RunKept(const Task& task) {
  try {
    RunGuarded(task);
  } catch (...) {
    // Never through the system's window procedure: Run throws it once the message is done.
    escaped_ = std::current_exception();
  }
}

void Win32EventLoop::RunTasks() {
  Task task;
  while (!escaped_ && tasks_.Pop(task)) RunKept(task);
}

void Win32EventLoop::RunTick(TimerId id) {
  const auto found = timers_.find(id);
  if (found == timers_.end()) return;
  const std::shared_ptr<const Task> tick = found->second;  // the tick may stop its own timer
  RunKept(*tick);
}

LRESULT CALLBACK Win32EventLoop::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* loop = reinterpret_cast<Win32EventLoop*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (loop != nullptr) {
    switch (message) {
      case kRunTasks:
        loop->RunTasks();
        return 0;
      case kQuitLoop:
        ::PostQuitMessage(0);
        return 0;
      case WM_TIMER:
        loop->RunTick(static_cast<TimerId>(wParam));
        return 0;
      default:
        break;
    }
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ui::win32
