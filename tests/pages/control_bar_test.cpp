#include <gtest/gtest.h>

#include "roll_rig.h"

namespace pages {
namespace {

using testing::RollRig;
using Face = skin::TImageLabel::Face;

struct ControlBarTest : ::testing::Test {
  RollRig rig;
  void SetUp() override { rig.Build(); }

  std::shared_ptr<const ui::Bitmap> Bar() const { return rig.bar->ImgCtrl().Picture(); }
  std::shared_ptr<const ui::Bitmap> CloseNormal() const {
    return rig.bar->CloseButton().Picture(Face::Leave);
  }
  std::shared_ptr<const ui::Bitmap> MinimumDisabled() const {
    return rig.bar->MinimumButton().Picture(Face::Disabled);
  }
};

TEST_F(ControlBarTest, LedAreaBoundsAreInclusive) {
  struct Case {
    int x, y;
    bool toggles;
  };
  const Case cases[] = {{424, 12, true},  {423, 12, false}, {424, 11, false}, {605, 34, true},
                        {606, 34, false}, {605, 35, false}, {500, 20, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE("x " + std::to_string(c.x) + " y " + std::to_string(c.y));
    const bool before = rig.bar->LedSwitchOn();
    const std::size_t requests = rig.log.ledRequests.size();
    rig.mouse.Click(rig.AtBar(c.x, c.y));
    EXPECT_EQ(rig.bar->LedSwitchOn(), c.toggles ? !before : before);
    EXPECT_EQ(rig.log.ledRequests.size(), requests + (c.toggles ? 1 : 0));
  }
}

TEST_F(ControlBarTest, LedSwitchPlacesTheCommandAndSwapsTheBarPictures) {
  EXPECT_TRUE(rig.bar->LedSwitchOn());
  EXPECT_EQ(Bar(), rig.Pic("Skin\\Ctrl_LED_ON.bmp"));

  rig.mouse.Click(rig.AtBar(430, 20));
  ASSERT_EQ(rig.log.ledRequests, (std::vector<bool>{false}));
  EXPECT_EQ(Bar(), rig.Pic("Skin\\Ctrl_BK.bmp"));
  EXPECT_EQ(CloseNormal(), rig.Pic("Skin\\x_up.bmp"));
  EXPECT_EQ(MinimumDisabled(), rig.Pic("Skin\\-_dis.bmp"));

  rig.mouse.Click(rig.AtBar(430, 20));
  EXPECT_EQ(rig.log.ledRequests, (std::vector<bool>{false, true}));
  EXPECT_EQ(Bar(), rig.Pic("Skin\\Ctrl_LED_ON.bmp"));
  // Back to the pictures of the buttons' own records.
  EXPECT_EQ(CloseNormal(), rig.Pic("Skin\\LED_x_up.bmp"));
  EXPECT_EQ(rig.bar->MinimumButton().Picture(Face::Click), rig.Pic("Skin\\LED_-_down.bmp"));

  // A right button switches too, but does not arm a drag.
  rig.mouse.MoveTo(rig.AtBar(430, 20));
  rig.mouse.Press(ui::MouseButton::Right);
  rig.mouse.Release(ui::MouseButton::Right);
  EXPECT_FALSE(rig.bar->LedSwitchOn());
  EXPECT_EQ(rig.backend.SystemMoves(rig.window), 0);
}

TEST_F(ControlBarTest, HoverPicturesFollowThePointerAndAreDecodedOnce) {
  rig.mouse.MoveTo(rig.AtBar(500, 20));
  EXPECT_EQ(Bar(), rig.Pic("Skin\\Ctrl_LED_over.bmp"));
  EXPECT_EQ(CloseNormal(), rig.Pic("Skin\\LED_over_x_up.bmp"));
  EXPECT_EQ(MinimumDisabled(), rig.Pic("Skin\\LED_over_-_dis.bmp"));

  rig.mouse.MoveTo(rig.AtBar(500, 40));
  EXPECT_EQ(Bar(), rig.Pic("Skin\\Ctrl_LED_ON.bmp"));
  EXPECT_EQ(CloseNormal(), rig.Pic("Skin\\LED_x_up.bmp"));

  rig.mouse.Click(rig.AtBar(500, 20));  // LED off
  rig.mouse.MoveTo(rig.AtBar(500, 40));
  EXPECT_EQ(Bar(), rig.Pic("Skin\\Ctrl_BK.bmp"));
  EXPECT_EQ(CloseNormal(), rig.Pic("Skin\\x_up.bmp"));

  // Every look has been loaded once; sweeping back and forth decodes nothing more.
  const std::size_t decodes = rig.app.Bitmaps().Decodes();
  for (int i = 0; i < 50; ++i) {
    rig.mouse.MoveTo(rig.AtBar(420 + i % 8, 20));
    rig.mouse.MoveTo(rig.AtBar(500, 5 + i % 3));
  }
  EXPECT_EQ(rig.app.Bitmaps().Decodes(), decodes);
}

TEST_F(ControlBarTest, LeftPressOnADragSurfaceMovesTheWindow) {
  // The page picture, the bar outside the LED area, and the window background.
  const ui::Point surfaces[] = {{300, 300}, rig.AtBar(200, 50), {629, 300}};
  int moves = 0;
  for (const ui::Point at : surfaces) {
    rig.mouse.MoveTo(at);
    rig.mouse.Press();
    rig.mouse.MoveTo(ui::Point{at.x - 1, at.y - 1});
    EXPECT_EQ(rig.backend.SystemMoves(rig.window), ++moves);
    rig.mouse.MoveTo(at);  // the desktop has the drag now: no second hand-over
    EXPECT_EQ(rig.backend.SystemMoves(rig.window), moves);
    rig.mouse.Release();
  }
  rig.mouse.MoveTo(ui::Point{300, 300});
  rig.mouse.Press(ui::MouseButton::Right);
  rig.mouse.MoveTo(ui::Point{310, 310});
  rig.mouse.Release(ui::MouseButton::Right);
  EXPECT_EQ(rig.backend.SystemMoves(rig.window), moves);
}

TEST_F(ControlBarTest, ADragWhoseReleaseWentElsewhereDoesNotStickToThePointer) {
  rig.drag.MouseDown(ui::MouseButton::Left);
  rig.drag.MouseMove(0);  // no button held any more
  EXPECT_FALSE(rig.drag.Dragging());
  EXPECT_EQ(rig.backend.SystemMoves(rig.window), 0);
}

TEST_F(ControlBarTest, CloseAndMinimiseButtonsCallTheWindow) {
  const ui::Rect close = rig.bar->CloseButton().Bounds();
  const ui::Rect minimum = rig.bar->MinimumButton().Bounds();
  rig.mouse.Click(ui::Point{close.left + 3, close.top + 3});
  rig.mouse.Click(ui::Point{minimum.left + 3, minimum.top + 3});
  EXPECT_EQ(rig.log.closes, 1);
  EXPECT_EQ(rig.log.minimises, 1);
  EXPECT_TRUE(rig.log.ledRequests.empty());
}

TEST_F(ControlBarTest, AMissingBarPictureReportsTheFile) {
  std::filesystem::remove(rig.folder.Files()("Skin\\Ctrl_LED_over.bmp"));
  rig.app.Bitmaps().Clear();
  rig.mouse.MoveTo(rig.AtBar(500, 20));
  const auto errors = rig.dialogs.Texts(ui::ScriptedDialogs::Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors.front().find("Ctrl_LED_over.bmp"), std::string::npos);
  rig.mouse.MoveTo(rig.AtBar(510, 21));  // the same look again: no second error box
  EXPECT_EQ(rig.dialogs.Texts(ui::ScriptedDialogs::Kind::Error).size(), 1u);
}

}  // namespace
}  // namespace pages
