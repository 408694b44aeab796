#include "platform/ui/win32/key_shape.h"

#include <gtest/gtest.h>

namespace ui::win32 {
namespace {

constexpr Color kKey = colors::kMagenta;
constexpr Color kInk{10, 20, 30};

// A frame drawn from text: 'k' key colour, anything else ink.
Frame Drawn(const std::vector<std::string>& rows) {
  Frame frame =
      Frame::Filled(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()), kInk);
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      if (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == 'k')
        frame.At(x, y) = Frame::Word(kKey);
    }
  }
  return frame;
}

TEST(OpaqueRuns, JoinsRunsOfTheSameColumnsDownwardsAndSplitsTheRest) {
  const Frame frame = Drawn({
      "kk##kk#",  // two runs
      "kk##kk#",  // the same two: both grow
      "k###kk#",  // the first run is wider now: a new one; the second still grows
      "kkkkkkk",  // nothing
      "#kkkkk#",  // runs at both edges
  });
  EXPECT_EQ(
      OpaqueRuns(frame, kKey),
      (std::vector<Rect>{{2, 0, 2, 2}, {6, 0, 1, 3}, {1, 2, 3, 1}, {0, 4, 1, 1}, {6, 4, 1, 1}}));
  // A key colour that is nowhere: one rectangle; one that is everywhere: none.
  EXPECT_EQ(OpaqueRuns(frame, Color{1, 2, 3}), (std::vector<Rect>{{0, 0, 7, 5}}));
  EXPECT_TRUE(OpaqueRuns(Frame::Filled(4, 3, kKey), kKey).empty());
}

// A bare popup window of the frame's size.
class ShapedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 7, 5, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr) << "no window (is there a display?)";
  }
  void TearDown() override {
    if (window_ != nullptr) ::DestroyWindow(window_);
  }

  // The window's shape as text: '#' inside its region, 'k' outside; "whole" without one.
  std::vector<std::string> Shape() const {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const int kind = ::GetWindowRgn(window_, region);
    std::vector<std::string> rows;
    if (kind == ERROR) {
      ::DeleteObject(region);
      return {"whole"};
    }
    for (int y = 0; y < 5; ++y) {
      std::string row;
      for (int x = 0; x < 7; ++x) row += ::PtInRegion(region, x, y) ? '#' : 'k';
      rows.push_back(row);
    }
    ::DeleteObject(region);
    return rows;
  }

  HWND window_ = nullptr;
};

TEST_F(ShapedWindow, FollowsTheKeyColourAndIsRebuiltOnlyWhenTheShapeChanges) {
  const std::vector<std::string> first = {"kk##kk#", "kk##kk#", "k###kk#", "kkkkkkk", "#kkkkk#"};
  KeyShape shape;
  EXPECT_TRUE(shape.Apply(window_, Drawn(first), kKey));
  EXPECT_EQ(Shape(), first);
  // Other ink in the same places keeps the shape: no new region.
  Frame repainted = Drawn(first);
  repainted.At(2, 0) = Frame::Word(Color{200, 200, 200});
  EXPECT_FALSE(shape.Apply(window_, repainted, kKey));
  EXPECT_EQ(shape.Rebuilds(), 1);
  // One pixel more of the key colour, and back again.
  const std::vector<std::string> second = {"kk##kk#", "kk##kk#", "k###kk#", "kkkkkkk", "kkkkkk#"};
  EXPECT_TRUE(shape.Apply(window_, Drawn(second), kKey));
  EXPECT_EQ(Shape(), second);
  EXPECT_TRUE(shape.Apply(window_, Drawn(first), kKey));
  EXPECT_EQ(Shape(), first);
  // The key switched off: the whole window; on again: the shape comes back.
  EXPECT_TRUE(shape.Apply(window_, Drawn(first), std::nullopt));
  EXPECT_EQ(Shape(), std::vector<std::string>{"whole"});
  EXPECT_FALSE(shape.Apply(window_, Drawn(second), std::nullopt));
  EXPECT_TRUE(shape.Apply(window_, Drawn(first), kKey));
  EXPECT_EQ(Shape(), first);
  EXPECT_EQ(shape.Rebuilds(), 5);
}

}  // namespace
}  // namespace ui::win32
