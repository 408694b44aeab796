#include "skin/image_label.h"

#include <array>

#include "tests/skin/control_fixture.h"

namespace skin {
namespace {

using Face = TImageLabel::Face;
using testing::ControlTest;
using ui::MouseButton;
using ui::Point;

class ImageLabelTest : public ControlTest {
 protected:
  ImageLabelTest() {
    button = BuildImageLabel(window, ButtonLayout{100, 200, 30, 20}, paths, skin.Files(),
                             [this](TImageLabel& b) { clicks.push_back(&b); });
  }
  // Everything the button drew, as the faces it showed, since the last call.
  Face Shown() const { return button->ShownFace(); }

  const std::array<std::string, 4> paths{"Skin\\btn_leave.bmp", "Skin\\btn_enter.bmp",
                                         "Skin\\btn_click.bmp", "Skin\\btn_dis.bmp"};
  std::unique_ptr<TImageLabel> button;
  std::vector<TImageLabel*> clicks;
  const Point inside{110, 210};
  const Point outside{300, 300};
};

TEST_F(ImageLabelTest, BuiltFromItsLayoutWithHandCursorAndMagentaSeeThrough) {
  EXPECT_EQ(button->Bounds(), (ui::Rect{100, 200, 30, 20}));
  EXPECT_EQ(button->GetCursor(), ui::Cursor::Hand);
  EXPECT_EQ(NameOf(button->Picture(Face::Leave)), "btn_leave")
      << "the cached picture, already keyed";
  EXPECT_EQ(button->Picture(Face::Click)->Width(), 30);
  // A built button shows its resting picture at once (the bar's close and minimise buttons
  // were built and never drawn).
  EXPECT_EQ(Shown(), Face::Leave);
  // The button pictures have a magenta middle: the page below shows through there.
  window.SetBackgroundColor(ui::Color{0, 0, 255});
  const QImage frame = Render();
  EXPECT_EQ(frame.pixel(115, 210) | 0xFF000000u, qRgb(0, 0, 255));
  EXPECT_NE(frame.pixel(101, 201) | 0xFF000000u, qRgb(0, 0, 255));
}

TEST_F(ImageLabelTest, HoverPressAndReleaseDrawTheirPicturesAndTheReleaseClicks) {
  mouse.MoveTo(inside);
  EXPECT_EQ(Shown(), Face::Enter);
  EXPECT_TRUE(button->Hovered());
  mouse.Press();
  EXPECT_EQ(Shown(), Face::Click);
  EXPECT_TRUE(clicks.empty()) << "the click comes with the release";
  mouse.Release();
  EXPECT_EQ(Shown(), Face::Enter);
  EXPECT_EQ(clicks, (std::vector<TImageLabel*>{button.get()}));
  mouse.MoveTo(outside);
  EXPECT_EQ(Shown(), Face::Leave);
  EXPECT_FALSE(button->Hovered());
}

TEST_F(ImageLabelTest, DraggedOutThePressedPictureStaysUntilTheReleaseWhichStillClicks) {
  mouse.MoveTo(inside);
  mouse.Press();
  mouse.MoveTo(outside);
  EXPECT_EQ(Shown(), Face::Click);
  EXPECT_FALSE(button->Hovered());
  EXPECT_TRUE(button->Pressed());
  mouse.Release();
  EXPECT_EQ(Shown(), Face::Leave);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(ImageLabelTest, AnyMouseButtonClicks) {
  mouse.Click(inside, MouseButton::Right);
  mouse.Click(inside, MouseButton::Middle);
  EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ImageLabelTest, DisabledItIgnoresTheMouseAndReenabledItShowsTheLeavePicture) {
  mouse.MoveTo(inside);
  button->SetBtnEnabled(false);
  EXPECT_EQ(Shown(), Face::Disabled);
  mouse.Click(inside);
  mouse.MoveTo(outside);
  mouse.MoveTo(inside);
  EXPECT_EQ(Shown(), Face::Disabled);
  EXPECT_TRUE(clicks.empty());
  EXPECT_TRUE(button->Hovered()) << "disabling freezes hovered";
  button->SetBtnEnabled(true);
  EXPECT_EQ(Shown(), Face::Leave) << "even with the pointer over it, until the next mouse event";
  button->Repaint();
  EXPECT_EQ(Shown(), Face::Enter);
}

TEST_F(ImageLabelTest, WritingTheSameEnabledStateDrawsNothing) {
  mouse.MoveTo(inside);
  window.TakeDirty();
  button->SetBtnEnabled(true);
  EXPECT_EQ(Shown(), Face::Enter);
  EXPECT_TRUE(window.Dirty().IsEmpty());
  button->SetBtnAction("CModeManual");
  button->SetBtnAction("CModeManual");
  EXPECT_EQ(button->BtnAction(), "CModeManual");
}

TEST_F(ImageLabelTest, DrawingThePictureAlreadyShownMarksNothingDirty) {
  window.TakeDirty();
  button->Repaint();
  EXPECT_TRUE(window.Dirty().IsEmpty()) << "the leave picture again";
  mouse.MoveTo(inside);
  EXPECT_EQ(window.Dirty().Rects(), (std::vector<ui::Rect>{ui::Rect{100, 200, 30, 20}}));
  window.TakeDirty();
  button->Repaint();
  EXPECT_TRUE(window.Dirty().IsEmpty()) << "the enter picture again";
  // A face that rests with the same file as the one shown changes no pixel either.
  EXPECT_EQ(button->LoadLeaveBitmap(skin.Path("Skin\\btn_enter.bmp")), TImageLabel::kLoadOk);
  mouse.MoveTo(outside);
  EXPECT_EQ(Shown(), Face::Leave);
  EXPECT_TRUE(window.Dirty().IsEmpty());
  mouse.MoveTo(inside);
  mouse.Press();
  EXPECT_EQ(window.Dirty().Rects(), (std::vector<ui::Rect>{ui::Rect{100, 200, 30, 20}}))
      << "the click picture differs";
}

TEST_F(ImageLabelTest, HiddenWhileHoveredTheLeaveResetsItWithoutDrawing) {
  mouse.MoveTo(inside);
  mouse.Press();
  button->Hide();
  mouse.MoveTo(outside);
  EXPECT_FALSE(button->Hovered());
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(Shown(), Face::Click) << "nothing drawn while hidden";
  mouse.MoveTo(inside);
  mouse.Release();
  EXPECT_TRUE(clicks.empty()) << "a hidden button gives up the pointer: its release is not a click";
  mouse.MoveTo(outside);
  button->Show();
  EXPECT_EQ(Shown(), Face::Leave) << "coming into view it is painted by its state";
}

TEST_F(ImageLabelTest, FailedLoadsReturn4096AndKeepThePicture) {
  const auto before = button->Picture(Face::Enter);
  EXPECT_EQ(button->LoadEnterBitmap(skin.Path("Skin\\nope.bmp")), TImageLabel::kLoadFailed);
  EXPECT_EQ(button->LoadEnterBitmap(""), TImageLabel::kLoadFailed);
  EXPECT_EQ(button->LoadEnterBitmap(skin.Folder()), TImageLabel::kLoadFailed);
  EXPECT_EQ(button->Picture(Face::Enter), before);

  TImageLabel fresh(window);
  fresh.SetLayout(0, 0, 10, 10, false, ui::colors::kMagenta);
  EXPECT_EQ(fresh.LoadLeaveBitmap(skin.Path("Skin\\missing.bmp")), TImageLabel::kLoadFailed);
  fresh.Repaint();
  EXPECT_EQ(fresh.Shown(), nullptr) << "a new button with a failed load shows nothing";
  int freshClicks = 0;
  fresh.SetOnClickHook([&](TImageLabel&) { ++freshClicks; });
  mouse.Click(Point{5, 5});
  EXPECT_EQ(freshClicks, 1) << "and still works";
}

TEST_F(ImageLabelTest, ALoadDrawsNothingUntilTheOwnerRepaints) {
  button->Repaint();
  const auto oldLeave = button->Shown();
  EXPECT_EQ(button->LoadLeaveBitmap(skin.Path("Skin\\btn_click.bmp")), TImageLabel::kLoadOk);
  EXPECT_EQ(button->Shown(), oldLeave);
  button->Repaint();
  EXPECT_EQ(button->Shown(), button->Picture(Face::Leave));
  EXPECT_NE(button->Shown(), oldLeave);
}

TEST_F(ImageLabelTest, TheClickRoutineMayFreeTheButton) {
  button->SetOnClickHook([this](TImageLabel&) { button.reset(); });
  mouse.Click(inside);
  EXPECT_EQ(button, nullptr);
  mouse.MoveTo(outside);
  mouse.Click(inside);
}

TEST_F(ImageLabelTest, MissingOrRefusedPathsInTheLayoutLoadNothing) {
  const std::array<std::string, 2> few{"Skin\\btn_leave.bmp", "..\\..\\etc\\passwd"};
  const FileResolver refusing = [this](std::string_view relative) -> std::filesystem::path {
    if (relative.find("..") != std::string_view::npos)
      throw std::runtime_error("escapes the program folder");
    return skin.Files()(relative);
  };
  auto partial = BuildImageLabel(window, ButtonLayout{0, 0, 30, 20}, few, refusing, nullptr);
  EXPECT_NE(partial->Picture(Face::Leave), nullptr);
  EXPECT_EQ(partial->Picture(Face::Enter), nullptr);
  EXPECT_EQ(partial->Picture(Face::Click), nullptr);
  EXPECT_EQ(partial->Picture(Face::Disabled), nullptr);
  mouse.Click(Point{5, 5});  // no routine: nothing happens
}

}  // namespace
}  // namespace skin
