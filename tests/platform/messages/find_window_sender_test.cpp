#include "platform/messages/win32/find_window_sender.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/window_message_codes.h"

namespace platform {
namespace {

// A hidden top-level window of a given class on a thread of its own, noting the program's
// messages that reach it. FindWindowA finds top-level windows only, as the main window is.
class ReceivingWindow {
 public:
  explicit ReceivingWindow(const char* windowClass) {
    thread_ = std::thread([this, windowClass] { Loop(windowClass); });
    WaitUntilMade();
  }
  ~ReceivingWindow() {
    // A window still being made is waited for, so it is closed and its thread ends.
    if (WaitUntilMade()) ::PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }

  // Whether the window stands; the first one in a fresh Wine prefix takes some seconds.
  bool WaitUntilMade() {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::seconds(60), [&] { return made_; });
    return window_ != nullptr;
  }

  // The messages received once `count` have come, or within 10 s what came by then.
  std::vector<std::uint32_t> WaitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return received_.size() >= count; });
    return received_;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ReceivingWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message >= WM_USER) {
      const std::lock_guard lock(self->mutex_);
      self->received_.push_back(message);
      self->arrived_.notify_all();
      return 0;
    }
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wParam, lParam);
  }

  void Loop(const char* windowClass) {
    WNDCLASSA registered{};
    registered.lpfnWndProc = Procedure;
    registered.hInstance = ::GetModuleHandleA(nullptr);
    registered.lpszClassName = windowClass;
    ::RegisterClassA(&registered);
    const HWND window = ::CreateWindowExA(0, windowClass, "Quelta", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, registered.hInstance, nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    {
      const std::lock_guard lock(mutex_);
      window_ = window;
      made_ = true;
      arrived_.notify_all();
    }
    MSG message{};
    while (window != nullptr && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
      ::DispatchMessageA(&message);
    }
  }

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  bool made_ = false;
  HWND window_ = nullptr;
  std::vector<std::uint32_t> received_;
};

TEST(FindWindowSender, PostsEachMessageToTheWindowOfItsClassAndSaysWhenThereIsNone) {
  const std::string windowClass = "QueltaTest" + std::to_string(::GetCurrentProcessId());
  FindWindowSender sender(windowClass);
  EXPECT_EQ(sender.Send(core::kRestoreMessage), MessageDelivery::NoWindow);
  {
    ReceivingWindow window(windowClass.c_str());
    ASSERT_TRUE(window.WaitUntilMade()) << "no top-level window was made within 60 s (no display?)";
    EXPECT_EQ(sender.Send(core::kRestoreMessage), MessageDelivery::Delivered);
    EXPECT_EQ(sender.Send(core::kFanCurveApplyMessage), MessageDelivery::Delivered);
    EXPECT_EQ(sender.Send(core::kWorkerRestartMessage), MessageDelivery::Delivered);
    EXPECT_EQ(window.WaitFor(3), (std::vector<std::uint32_t>{0x07E8, 0x07E9, 0x0401}))
        << "the three messages did not all arrive within 10 s";
  }
  EXPECT_EQ(sender.Send(core::kWorkerRestartMessage), MessageDelivery::NoWindow);
}

}  // namespace
}  // namespace platform
