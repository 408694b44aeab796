// The UI port's Windows backend: the scene's windows, edits, combo box, messages and tray icon
// on the real Windows API (run under Wine on Linux).
#include "platform/ui/win32/win32_backend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/solid_fill.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/win32/win32_event_loop.h"
#include "platform/ui/win32/win32_tray_host.h"
#include "platform/ui/window.h"

namespace ui::win32 {
namespace {

using namespace std::chrono_literals;

constexpr Color kBlue{0, 0, 255};
constexpr Color kGreen{0, 255, 0};
constexpr Color kRed{255, 0, 0};

// A live framework on the thread's message loop; `taken` says which messages the backend's
// filter keeps from the windows.
struct Win32Ui {
  Win32EventLoop loop;
  ScriptedDialogs dialogs;
  std::vector<std::uint32_t> filtered;
  Win32Backend backend{[this](const Message& message) {
    if (message.id != 0x8001) return false;
    filtered.push_back(message.id);
    return true;
  }};
  Application app{loop, dialogs, backend};

  // Runs the loop until what was posted before this call has been handled (5 s at most).
  void Drain() {
    const auto timer = loop.StartTimer(5s, [this] { loop.Quit(); });
    loop.Post([this] { loop.Quit(); });
    loop.Run();
    loop.StopTimer(timer);
  }
};

Win32WindowHost& HostOf(Window& window) {
  return *dynamic_cast<Win32WindowHost*>(window.Host());
}

std::uint32_t Word(Color c) {
  return Frame::Word(c);
}

TEST(Win32WindowHost, RendersOnlyWhatWasInvalidatedAtTheNextPaint) {
  Win32Ui ui;
  Window window(ui.app, Size{40, 30});
  window.SetBackgroundColor(kBlue);
  SolidFill patch(window, Rect{2, 2, 4, 4});
  window.Show();
  ::UpdateWindow(HostOf(window).Native().Handle());
  const Frame& rendered = HostOf(window).Rendered();
  ASSERT_EQ(rendered.width, 40);
  EXPECT_EQ(rendered.At(0, 0), Word(kBlue));
  EXPECT_EQ(rendered.At(39, 29), Word(kBlue));

  // A change is rendered and painted where it lies, and nowhere else.
  patch.FillArea(Rect{2, 2, 4, 4}, kGreen);
  ::UpdateWindow(HostOf(window).Native().Handle());
  EXPECT_EQ(rendered.At(2, 2), Word(kGreen));
  EXPECT_EQ(rendered.At(5, 5), Word(kGreen));
  EXPECT_EQ(rendered.At(6, 6), Word(kBlue)) << "just past the area";
  ASSERT_FALSE(HostOf(window).Native().Painted().empty());
  EXPECT_EQ(HostOf(window).Native().Painted().back(), (Rect{2, 2, 4, 4}));
}

TEST(Win32WindowHost, ScansForTheShapeOnlyWhereTheKeyColourWasOrIs) {
  Win32Ui ui;
  Window window(ui.app, Size{40, 30});
  window.SetBackgroundColor(kBlue);
  window.SetTransparentColor(colors::kMagenta);
  SolidFill hole(window, Rect{0, 0, 10, 10});
  SolidFill fan(window, Rect{20, 20, 4, 4});
  window.Show();
  const NativeWindow& native = HostOf(window).Native();
  ::UpdateWindow(native.Handle());
  const int first = native.ShapeScans();
  EXPECT_GE(first, 1);
  // Opaque before and after (a fan turning): no scan.
  fan.FillArea(Rect{20, 20, 4, 4}, kGreen);
  ::UpdateWindow(native.Handle());
  EXPECT_EQ(native.ShapeScans(), first);
  // A hole cut, then filled again: each is a scan, and the shape follows.
  hole.FillArea(Rect{0, 0, 10, 10}, colors::kMagenta);
  ::UpdateWindow(native.Handle());
  EXPECT_EQ(native.ShapeScans(), first + 1);
  EXPECT_EQ(native.Shape().Rebuilds(), 2);
  hole.FillArea(Rect{0, 0, 10, 10}, kRed);
  ::UpdateWindow(native.Handle());
  EXPECT_EQ(native.ShapeScans(), first + 2);
  EXPECT_EQ(native.Shape().Rebuilds(), 3);
}

TEST(Win32WindowHost, TheProgramsMessagesReachTheWindowUnlessTheFilterKeepsThem) {
  Win32Ui ui;
  Window window(ui.app, Size{20, 20});
  std::vector<std::uint32_t> seen;
  window.OnMessage = [&](Window&, const Message& message) { seen.push_back(message.id); };
  const HWND found = ::FindWindowA("Quelta", nullptr);
  ASSERT_EQ(found, HostOf(window).Native().Handle());
  // As quelta-ctl.exe posts them: restore, the simulated cable (kept by the filter), the
  // worker restart, the cable back, the history window, and one that is no one's.
  for (const UINT id : {0x07E8u, 0x8001u, 0x0401u, 0x8002u, 0x8010u, 0x8003u}) {
    ::PostMessageA(found, id, 0, 0);
  }
  ui.Drain();
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{0x07E8, 0x0401, 0x8002, 0x8010}));
  EXPECT_EQ(ui.filtered, (std::vector<std::uint32_t>{0x8001}));
}

TEST(Win32WindowHost, EditsAndTheComboBoxAreNativeChildrenTheirInputToldToTheScene) {
  Win32Ui ui;
  Window window(ui.app, Size{120, 60});
  Edit edit(window, Rect{4, 4, 60, 18});
  ComboBox combo(window, Rect{4, 30, 80, 20});
  combo.SetItems({"PSU", "T1", "T2"});
  combo.SetItemIndex(1);
  edit.SetText("4.5");
  Win32WindowHost& host = HostOf(window);
  const HWND editBox = host.Native().Child(host.NativeIdOf(edit));
  const HWND comboBox = host.Native().Child(host.NativeIdOf(combo));
  ASSERT_NE(editBox, nullptr);
  ASSERT_NE(comboBox, nullptr);
  char text[32] = {};
  ::GetWindowTextA(editBox, text, sizeof text);
  EXPECT_STREQ(text, "4.5");
  EXPECT_EQ(::SendMessageA(comboBox, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(::SendMessageA(comboBox, CB_GETCURSEL, 0, 0), 1);

  std::vector<std::string> typed;
  std::vector<int> chosen;
  edit.OnChange = [&](Edit& e) { typed.push_back(e.Text()); };
  combo.OnChange = [&](ComboBox& c) { chosen.push_back(c.ItemIndex()); };
  // The program's own change is not told back as typing; a person's is, and back again.
  edit.SetText("5.0");
  ::SetWindowTextA(editBox, "6.25");
  ::SetWindowTextA(editBox, "5.0");
  EXPECT_EQ(typed, (std::vector<std::string>{"6.25", "5.0"}));
  EXPECT_EQ(edit.Text(), "5.0");
  ::SendMessageA(comboBox, CB_SETCURSEL, 2, 0);
  ::SendMessageA(host.Native().Handle(), WM_COMMAND,
                 MAKEWPARAM(host.NativeIdOf(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(comboBox));
  EXPECT_EQ(chosen, (std::vector<int>{2}));

  // Hidden and shown again with the control; new items make the box again.
  edit.Hide();
  EXPECT_FALSE(::IsWindowVisible(editBox));
  edit.Show();
  EXPECT_TRUE(::IsWindowVisible(editBox) || !::IsWindowVisible(host.Native().Handle()));
  combo.SetItems({"A", "B"});
  const HWND remade = host.Native().Child(host.NativeIdOf(combo));
  ASSERT_NE(remade, nullptr);
  EXPECT_EQ(::SendMessageA(remade, CB_GETCOUNT, 0, 0), 2);
}

TEST(Win32TrayHost, TheMenuCarriesTheItemsAndTheirMarksAndEachChoiceRunsItsItem) {
  Win32Ui ui;
  Window window(ui.app, Size{20, 20});
  TrayIcon tray(ui.app, window);
  std::vector<std::string> ran;
  bool notify = true;
  tray.AddMenuItem("AlarmDefault", [&] { ran.push_back("AlarmDefault"); });
  tray.AddCheckItem("Notify on alarm", true, [&](bool on) { notify = on; });
  tray.AddMenuItem("Show", [&] { ran.push_back("Show"); });
  tray.SetHint("Watt: 345.20");
  auto* host = dynamic_cast<Win32TrayHost*>(ui.backend.CreateTrayHost(tray).release());
  ASSERT_NE(host, nullptr);
  std::unique_ptr<Win32TrayHost> owned(host);
  owned->Changed();
  NotifyIcon& icon = owned->Icon();
  EXPECT_EQ(icon.Hint(), "Watt: 345.20");
  ASSERT_EQ(::GetMenuItemCount(icon.Menu()), 3);
  char caption[32] = {};
  ::GetMenuStringA(icon.Menu(), 1, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_STREQ(caption, "Notify on alarm");
  const auto marked = [&](UINT position) {
    return (::GetMenuState(icon.Menu(), position, MF_BYPOSITION) & MF_CHECKED) != 0;
  };
  EXPECT_FALSE(marked(0));
  EXPECT_TRUE(marked(1));

  // Every item, and the mark turned over and back.
  EXPECT_TRUE(icon.Choose(NotifyIcon::kFirstCommand + 0));
  EXPECT_TRUE(icon.Choose(NotifyIcon::kFirstCommand + 1));
  owned->Changed();
  EXPECT_FALSE(notify);
  EXPECT_FALSE(marked(1));
  EXPECT_TRUE(icon.Choose(NotifyIcon::kFirstCommand + 2));
  EXPECT_TRUE(icon.Choose(NotifyIcon::kFirstCommand + 1));
  owned->Changed();
  EXPECT_TRUE(notify);
  EXPECT_TRUE(marked(1));
  EXPECT_FALSE(icon.Choose(NotifyIcon::kFirstCommand + 3)) << "no fourth item";
  EXPECT_EQ(ran, (std::vector<std::string>{"AlarmDefault", "Show"}));
}

}  // namespace
}  // namespace ui::win32
