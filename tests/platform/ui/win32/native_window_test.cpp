#include "platform/ui/win32/native_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <tuple>
#include <vector>

namespace ui::win32 {
namespace {

using namespace std::chrono_literals;

// Runs the thread's messages until `done` or 5 s; false when time ran out.
template <typename Done>
bool PumpUntil(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  MSG message;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    } else {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  return true;
}

TEST(NativeWindow, IsABorderlessWindowOfClassQueltaThatTakesTheProgramsMessages) {
  NativeWindow window(Size{40, 30}, "Read UI");
  EXPECT_EQ(::FindWindowA("Quelta", nullptr), window.Handle());
  EXPECT_EQ(window.Caption(), "Read UI");
  window.SetCaption("Connected!");
  EXPECT_EQ(window.Caption(), "Connected!");
  const LONG style = ::GetWindowLongA(window.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME);

  std::vector<std::tuple<UINT, WPARAM, LPARAM>> seen;
  window.OnMessage = [&](UINT id, WPARAM w, LPARAM l) { seen.emplace_back(id, w, l); };
  // As another program posts them: found by class, in this order, one not the program's.
  const HWND found = ::FindWindowA("Quelta", nullptr);
  ::PostMessageA(found, 2024, 0, 0);
  ::PostMessageA(found, WM_APP + 9, 0, 0);
  ::PostMessageA(found, 2025, 7, 8);
  ::PostMessageA(found, 0x0401, 0, 0);
  ::PostMessageA(found, WM_DEVICECHANGE, 0x0007, 0);
  ASSERT_TRUE(PumpUntil([&] { return seen.size() >= 4; })) << "got " << seen.size() << " of 4";
  EXPECT_EQ(seen, (std::vector<std::tuple<UINT, WPARAM, LPARAM>>{
                      {2024, 0, 0}, {2025, 7, 8}, {0x0401, 0, 0}, {WM_DEVICECHANGE, 7, 0}}));
}

// The window's pixels as the screen has them, read back through its device context.
std::vector<std::uint32_t> Shown(HWND window, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  ::GdiFlush();
  std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                    static_cast<const std::uint32_t*>(bits) + width * height);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFFu;
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, screen);
  return pixels;
}

TEST(NativeWindow, PaintsOnlyTheDirtyAreaOfANewFrame) {
  constexpr int kWidth = 40, kHeight = 30;
  NativeWindow window(Size{kWidth, kHeight}, "Read UI");
  ASSERT_EQ(window.Scale(), 1) << "the X server of the tests has 96 dots an inch";
  window.SetPosition(Point{60, 60});
  window.Show();
  constexpr Color kRed{200, 0, 0}, kBlue{0, 0, 200};
  window.Present(Frame::Filled(kWidth, kHeight, kRed), {}, std::nullopt);
  ASSERT_TRUE(PumpUntil([&] { return !window.Painted().empty(); })) << "no first paint";
  const std::size_t before = window.Painted().size();
  window.Present(Frame::Filled(kWidth, kHeight, kBlue), {Rect{5, 6, 10, 4}}, std::nullopt);
  ASSERT_TRUE(PumpUntil([&] { return window.Painted().size() > before; })) << "no second paint";
  EXPECT_EQ(window.Painted().back(), (Rect{5, 6, 10, 4}));
  const std::vector<std::uint32_t> shown = Shown(window.Handle(), kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool dirty = x >= 5 && x < 15 && y >= 6 && y < 10;
      EXPECT_EQ(shown[static_cast<std::size_t>(y * kWidth + x)], Frame::Word(dirty ? kBlue : kRed))
          << x << "," << y;
    }
  }
}

TEST(NativeWindow, EditsAndTheComboBoxTellTheirChangesAndTakeTheSkinsColours) {
  NativeWindow window(Size{200, 100}, "Read UI");
  std::vector<std::pair<int, std::string>> edits;
  std::vector<std::pair<int, int>> choices;
  window.OnEditChange = [&](int id, const std::string& text) { edits.emplace_back(id, text); };
  window.OnComboSelect = [&](int id, int index) { choices.emplace_back(id, index); };
  const int rising = window.AddEdit(Rect{10, 10, 40, 16}, {}, Color{0, 255, 0}, Color{0, 0, 0});
  const int start = window.AddEdit(Rect{60, 10, 40, 16}, {}, Color{255, 0, 0}, Color{0, 0, 64});
  const int rail = window.AddComboBox(Rect{10, 40, 80, 20}, {}, {"12V1", "12V2", "12V3"});
  ::SetWindowTextA(window.Child(start), "45");
  ::SetWindowTextA(window.Child(rising), "3");
  EXPECT_EQ(edits, (std::vector<std::pair<int, std::string>>{{start, "45"}, {rising, "3"}}));

  // Each edit is drawn in its own colours.
  HDC dc = ::GetDC(window.Child(start));
  for (const auto& [id, text, background] : {std::tuple{rising, RGB(0, 255, 0), RGB(0, 0, 0)},
                                             std::tuple{start, RGB(255, 0, 0), RGB(0, 0, 64)}}) {
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(window.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(window.Child(id))));
    ASSERT_NE(brush, nullptr);
    LOGBRUSH fill{};
    ::GetObjectA(brush, sizeof fill, &fill);
    EXPECT_EQ(fill.lbColor, background);
    EXPECT_EQ(::GetTextColor(dc), text);
    EXPECT_EQ(::GetBkColor(dc), background);
  }
  ::ReleaseDC(window.Child(start), dc);

  const HWND combo = window.Child(rail);
  EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  for (const int index : {2, 0}) {
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The notice a person's choice sends (setting the selection from code sends none).
    ::SendMessageA(window.Handle(), WM_COMMAND, MAKEWPARAM(rail, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
  }
  EXPECT_EQ(choices, (std::vector<std::pair<int, int>>{{rail, 2}, {rail, 0}}));
}

}  // namespace
}  // namespace ui::win32
