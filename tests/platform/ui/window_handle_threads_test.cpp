#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/ui/window.h"
#include "support/headless_ui.h"

namespace ui {
namespace {

TEST(WindowHandleAcrossThreads, MessagesFromAWorkerArriveInOrderOnTheUiThread) {
  testing::HeadlessUi ui;
  Window window(ui.app, Size{10, 10});
  std::vector<std::intptr_t> got;
  std::thread::id handledOn;
  window.OnMessage = [&](Window&, const Message& m) {
    got.push_back(m.wParam);
    handledOn = std::this_thread::get_id();
  };
  constexpr int kMessages = 1000;
  const WindowHandle handle = window.Handle();  // copied before the worker starts
  std::jthread worker([handle] {
    for (int i = 0; i < kMessages; ++i) handle.Post(Message{2025, i, 0});
  });
  ASSERT_TRUE(ui.loop.RunUntil([&] { return got.size() == kMessages; }, std::chrono::seconds{10}));
  for (int i = 0; i < kMessages; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(handledOn, std::this_thread::get_id());
}

}  // namespace
}  // namespace ui
