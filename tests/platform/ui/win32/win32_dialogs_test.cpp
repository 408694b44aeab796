#include "platform/ui/win32/win32_dialogs.h"

#include <atomic>

#include "platform/ui/win32/win32_event_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace ui::win32 {
namespace {

using namespace std::chrono_literals;

struct Seen {
  bool found = false;
  std::string text;
  bool hasYes = false, hasNo = false, hasOk = false;
};

// From another thread: waits (5 s at most) for the message box titled `title`, reads its text
// and buttons, then presses `button`.
Seen Answer(const std::string& title, int button) {
  Seen seen;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  HWND box = nullptr;
  while (box == nullptr && std::chrono::steady_clock::now() < deadline) {
    box = ::FindWindowA("#32770", title.c_str());
    if (box == nullptr) std::this_thread::sleep_for(10ms);  // polls the desktop, bounded above
  }
  if (box == nullptr) return seen;
  seen.found = true;
  char text[256] = {};
  ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's text control
  seen.text = text;
  seen.hasYes = ::GetDlgItem(box, IDYES) != nullptr;
  seen.hasNo = ::GetDlgItem(box, IDNO) != nullptr;
  seen.hasOk = ::GetDlgItem(box, IDOK) != nullptr;
  ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  return seen;
}

TEST(Win32Dialogs, TheQuestionShowsItsTextTitledWithYesAndNoAndTellsTheAnswer) {
  Win32Dialogs dialogs("Quelta ver 0.62");
  const std::string question = "**** HARDWARE Connect FAIL ****\nDo you want to try again ?";
  for (const int button : {IDYES, IDNO}) {
    auto answer = std::async(std::launch::async, Answer, dialogs.Title(), button);
    const bool yes = dialogs.AskYesNo(question);
    const Seen seen = answer.get();
    ASSERT_TRUE(seen.found) << "no message box titled " << dialogs.Title();
    EXPECT_EQ(seen.text, question);
    EXPECT_TRUE(seen.hasYes);
    EXPECT_TRUE(seen.hasNo);
    EXPECT_EQ(yes, button == IDYES);
  }
}

TEST(Win32Dialogs, AMessageAndAnErrorHaveOnlyAnOkButton) {
  Win32Dialogs dialogs("Quelta ver 0.62");
  auto answer = std::async(std::launch::async, Answer, dialogs.Title(), IDOK);
  dialogs.ShowMessage("Connection Removed!");
  Seen seen = answer.get();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "Connection Removed!");
  EXPECT_TRUE(seen.hasOk);
  EXPECT_FALSE(seen.hasYes);
  answer = std::async(std::launch::async, Answer, dialogs.Title(), IDOK);
  dialogs.ShowError("**** Read UI FAIL! ****");
  seen = answer.get();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "**** Read UI FAIL! ****");
  EXPECT_FALSE(seen.hasNo);
}

TEST(Win32Dialogs, TasksPostedWhileABoxIsOpenRunBeforeItIsAnswered) {
  // The worker's hand-overs keep arriving while a message box waits for its answer.
  Win32EventLoop loop;
  Win32Dialogs dialogs("Quelta ver 0.62");
  std::atomic<bool> ran{false};
  auto answer = std::async(std::launch::async, [&] {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (::FindWindowA("#32770", dialogs.Title().c_str()) == nullptr &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(10ms);  // polls the desktop, bounded above
    }
    loop.Post([&] { ran = true; });
    while (!ran && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
    const bool ranInTime = ran;
    Answer(dialogs.Title(), IDOK);
    return ranInTime;
  });
  dialogs.ShowMessage("Connection Removed!");
  EXPECT_TRUE(answer.get()) << "the posted task did not run while the box was open";
}

}  // namespace
}  // namespace ui::win32
