#include "platform/ui/win32/notify_icon.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace ui::win32 {
namespace {

std::string ItemText(HMENU menu, int position) {
  char text[64] = {};
  ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST(NotifyIcon, EveryMenuItemCarriesItsCaptionAndItsCommandRunsItsChoice) {
  NotifyIcon icon;
  icon.SetMenu({"AlarmDefault", "Show", "Exit"});
  std::vector<std::size_t> chosen;
  icon.OnMenuChoice = [&](std::size_t index) { chosen.push_back(index); };
  ASSERT_EQ(::GetMenuItemCount(icon.Menu()), 3);
  const char* captions[] = {"AlarmDefault", "Show", "Exit"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ItemText(icon.Menu(), i), captions[i]);
    EXPECT_EQ(::GetMenuItemID(icon.Menu(), i), NotifyIcon::kFirstCommand + static_cast<UINT>(i));
  }
  // Chosen from the popup (its returned command), from a WM_COMMAND, and commands of no item.
  EXPECT_TRUE(icon.Choose(NotifyIcon::kFirstCommand + 2));
  ::SendMessageA(icon.CallbackWindow(), WM_COMMAND, NotifyIcon::kFirstCommand, 0);
  ::SendMessageA(icon.CallbackWindow(), WM_COMMAND, NotifyIcon::kFirstCommand + 1, 0);
  EXPECT_FALSE(icon.Choose(0));  // the popup closed without a choice
  EXPECT_FALSE(icon.Choose(NotifyIcon::kFirstCommand - 1));
  EXPECT_FALSE(icon.Choose(NotifyIcon::kFirstCommand + 3));
  EXPECT_EQ(chosen, (std::vector<std::size_t>{2, 0, 1}));
  // A new menu replaces the old one whole.
  icon.SetMenu({"Show"});
  EXPECT_EQ(::GetMenuItemCount(icon.Menu()), 1);
  EXPECT_FALSE(icon.Choose(NotifyIcon::kFirstCommand + 1));
}

// From another thread: waits (5 s at most) for the popup menu, then walks `downs` items down
// from the top and presses Enter (or Escape for none). False when no menu came.
bool PickFromMenu(int downs) {
  using namespace std::chrono_literals;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  HWND menu = nullptr;
  while (menu == nullptr && std::chrono::steady_clock::now() < deadline) {
    menu = ::FindWindowA("#32768", nullptr);
    if (menu == nullptr) std::this_thread::sleep_for(10ms);  // polls the desktop, bounded above
  }
  if (menu == nullptr) return false;
  for (int i = 0; i < downs; ++i) ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageA(menu, WM_KEYDOWN, downs < 0 ? VK_ESCAPE : VK_RETURN, 0);
  return true;
}

TEST(NotifyIcon, ARightClickOpensTheMenuAndTheItemPickedRunsOnceOrNoneWhenLeft) {
  NotifyIcon icon;
  icon.SetMenu({"AlarmDefault", "Show", "Exit"});
  std::vector<std::size_t> chosen;
  icon.OnMenuChoice = [&](std::size_t index) { chosen.push_back(index); };
  // Down once selects the first item, so n downs pick item n - 1; Escape picks nothing.
  for (const int downs : {3, 1, -1, 2}) {
    auto picker = std::async(std::launch::async, PickFromMenu, downs);
    ::SendMessageA(icon.CallbackWindow(), NotifyIcon::kCallback, 1, WM_RBUTTONUP);
    ASSERT_TRUE(picker.get()) << "no popup menu after a right click";
  }
  EXPECT_EQ(chosen, (std::vector<std::size_t>{2, 0, 1}));
}

TEST(NotifyIcon, ADoubleClickOnTheIconRestoresAndOtherPointerNewsDoesNot) {
  NotifyIcon icon;
  int restored = 0;
  icon.OnDoubleClick = [&] { ++restored; };
  for (UINT news : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
    ::SendMessageA(icon.CallbackWindow(), NotifyIcon::kCallback, 1, news);
  }
  EXPECT_EQ(restored, 0);
  ::SendMessageA(icon.CallbackWindow(), NotifyIcon::kCallback, 1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(restored, 1);
}

TEST(NotifyIcon, AHintIsCutToWhatTheShellTakes) {
  NotifyIcon icon;
  icon.SetHint("Quelta\n12V1 12.00 V");
  EXPECT_EQ(icon.Hint(), "Quelta\n12V1 12.00 V");
  icon.SetHint(std::string(127, 'a') + "bc");
  EXPECT_EQ(icon.Hint(), std::string(127, 'a'));
}

TEST(IconFromFrame, TheKeyColourIsSeeThroughInTheMask) {
  Frame picture = Frame::Filled(16, 16, Color{30, 160, 70});
  picture.At(0, 0) = Frame::Word(colors::kMagenta);
  picture.At(15, 15) = Frame::Word(colors::kMagenta);
  HICON icon = IconFromFrame(picture, colors::kMagenta);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, info.hbmMask);
  EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(::GetPixel(dc, 15, 15), RGB(255, 255, 255));
  EXPECT_EQ(::GetPixel(dc, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(::GetPixel(dc, 14, 15), RGB(0, 0, 0));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(info.hbmMask);
  ::DeleteObject(info.hbmColor);
  ::DestroyIcon(icon);
  EXPECT_EQ(IconFromFrame(Frame{}, colors::kMagenta), nullptr);
}

}  // namespace
}  // namespace ui::win32
