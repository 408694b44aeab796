#include "skin/image_track_bar.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/ui/edit.h"
#include "platform/ui/file_error.h"
#include "platform/ui/image.h"
#include "platform/ui/solid_fill.h"
#include "tests/skin/control_fixture.h"

namespace skin {
namespace {

using testing::ControlTest;
using ui::Point;
using ui::Rect;

class TrackBarTest : public ControlTest {
 protected:
  TImageTrackBar& MakeDisplay() {
    displays.push_back(std::make_unique<TImageTrackBar>(window, skin.Files()));
    return *displays.back();
  }
  const ui::Color* FillAt(const TImageTrackBar& bar, int x, int y) {
    return bar.StatusRectFill().ColorAt(Point{x, y});
  }
  // A vertical alarm-style display: status rect 310,400 (6 x 100) over [min, max], three big
  // alternate digits, marker 12 x 8 with its origin at (300, 496).
  TImageTrackBar& MakeAlarmDisplay(float min, float max) {
    TImageTrackBar& bar = MakeDisplay();
    bar.SetupDigits(250, 380, 3, 9, 18, false, 0, true, true);
    bar.SetDigitImages(bigDigits);
    bar.SetPositionBarOrigin(300, 496);
    bar.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
    bar.SetupStatusRect(310, 400, 100, 6, min, max, ui::colors::kPureGreen);
    return bar;
  }
  // Drags the marker by (dx, dy) from a point 2 pixels inside it, in one move.
  void DragMarker(TImageTrackBar& bar, int dx, int dy,
                  ui::MouseButton button = ui::MouseButton::Left) {
    const Point from{bar.MarkerImage().Left() + 2, bar.MarkerImage().Top() + 2};
    mouse.MoveTo(from);
    mouse.Press(button);
    mouse.MoveTo(Point{from.x + dx, from.y + dy});
    mouse.Release(button);
  }

  std::vector<std::unique_ptr<TImageTrackBar>> displays;
};

// ---- digits ----

TEST_F(TrackBarTest, DigitCellsPointAndSignSitWhereTheLayoutSays) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupDigits(100, 50, 4, 8, 16, true, 2, true, false);
  std::vector<Rect> cells;
  for (const auto& cell : bar.DigitCells()) cells.push_back(cell->Bounds());
  EXPECT_EQ(cells, (std::vector<Rect>{
                       {100, 50, 8, 16}, {109, 50, 8, 16}, {120, 50, 8, 16}, {129, 50, 8, 16}}));
  EXPECT_EQ(bar.DecimalPointImage()->Bounds(), (Rect{117, 63, 3, 3}));
  EXPECT_EQ(NameOf(bar.DecimalPointImage()->Picture()), "dot");
  EXPECT_EQ(bar.SignImage()->Bounds(), (Rect{92, 54, 8, 11}));
  EXPECT_EQ(bar.SignImage()->Picture(), nullptr) << "empty until a value is shown";

  TImageTrackBar& alt = MakeDisplay();
  alt.SetupDigits(100, 50, 3, 9, 18, false, 0, true, true);
  EXPECT_EQ(alt.SignImage()->Bounds(), (Rect{91, 54, 8, 11}));
  EXPECT_EQ(alt.DigitCells().back()->Bounds(), (Rect{120, 50, 9, 18}));
  EXPECT_EQ(alt.DecimalPointImage(), nullptr);
}

TEST_F(TrackBarTest, LeadingZerosAreBlankWhileTheUnitsDigitAndDecimalsAreAlwaysDrawn) {
  TImageTrackBar& fixed = MakeDisplay();
  fixed.SetupDigits(100, 50, 4, 8, 16, true, 2, false, false);
  fixed.SetDigitImages(digits);
  fixed.ShowValue(3.3f, false, false);
  EXPECT_EQ(CellText(fixed), " 3.30");
  fixed.ShowValue(0.0f, false, false);
  EXPECT_EQ(CellText(fixed), " 0.00");
  fixed.ShowValue(12.345f, false, false);
  EXPECT_EQ(CellText(fixed), "12.34") << "truncated, not rounded";

  TImageTrackBar& whole = MakeDisplay();
  whole.SetupDigits(100, 80, 3, 8, 16, false, 0, false, false);
  whole.SetDigitImages(digits);
  whole.ShowValue(45.0f, false, false);
  EXPECT_EQ(CellText(whole), " 45");
  whole.ShowValue(0.0f, false, false);
  EXPECT_EQ(CellText(whole), "  0");
  whole.ShowValue(99.99999f, false, false);
  EXPECT_EQ(CellText(whole), " 99");
  whole.ShowValue(305.0f, false, false);
  EXPECT_EQ(CellText(whole), "305") << "zeros after the first digit are drawn";
}

TEST_F(TrackBarTest, WidthPicksBigFilesAndTheFlagPicksTheAlternateSet) {
  TImageTrackBar& small = MakeDisplay();
  small.SetupDigits(100, 50, 3, 8, 16, true, 1, true, false);
  small.SetDigitImages(digits);
  small.ShowValue(1.5f, true, false);
  EXPECT_EQ(NameOf(small.SignImage()->Picture()), "attr_neg");
  EXPECT_EQ(NameOf(small.DigitCells()[0]->Picture()), "num_none");
  small.ShowValue(1.5f, false, true);
  EXPECT_EQ(NameOf(small.SignImage()->Picture()), "a_attr_pos");
  EXPECT_EQ(NameOf(small.DigitCells()[0]->Picture()), "a_num_none");
  EXPECT_EQ(NameOf(small.DecimalPointImage()->Picture()), "dot");

  TImageTrackBar& big = MakeDisplay();
  big.SetupDigits(100, 80, 3, 9, 18, true, 1, true, true);
  big.SetDigitImages(bigDigits);
  big.ShowValue(1.5f, false, false);
  EXPECT_EQ(NameOf(big.SignImage()->Picture()), "attr_pos_big");
  EXPECT_EQ(NameOf(big.DigitCells()[0]->Picture()), "num_none_big");
  EXPECT_EQ(NameOf(big.DecimalPointImage()->Picture()), "dot_big");
  big.ShowValue(1.5f, true, true);
  EXPECT_EQ(NameOf(big.SignImage()->Picture()), "a_attr_neg_big");
  EXPECT_EQ(NameOf(big.DigitCells()[0]->Picture()), "a_num_none_big");
  EXPECT_EQ(CellText(big), " 1.5");

  TImageTrackBar& unsigned_ = MakeDisplay();
  unsigned_.SetupDigits(100, 120, 3, 8, 16, false, 0, false, false);
  unsigned_.ShowValue(1.0f, true, false);
  EXPECT_EQ(unsigned_.SignImage()->Picture(), nullptr) << "without isAttr the sign is not touched";
}

TEST_F(TrackBarTest, ValueTooLargeForItsCellsDrawsNothingInTheOverflowingCell) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupDigits(100, 50, 3, 8, 16, false, 0, false, false);
  bar.SetDigitImages(digits);
  bar.ShowValue(1234.0f, false, false);
  EXPECT_EQ(CellText(bar), "?34") << "the leading '12' has no picture";
  EXPECT_TRUE(bar.DigitCells()[0]->Visible());
  for (const float odd : {1e30f, std::numeric_limits<float>::infinity(), -5.0f,
                          std::numeric_limits<float>::quiet_NaN(), -1e30f}) {
    bar.ShowValue(odd, false, false);
    for (const auto& cell : bar.DigitCells()) {
      const std::string name = NameOf(cell->Picture());
      EXPECT_TRUE(name == "-" || name[0] == 'd' || name == "num_none") << odd << " drew " << name;
    }
  }
  bar.ShowValue(std::numeric_limits<float>::quiet_NaN(), false, false);
  EXPECT_EQ(CellText(bar), "  0");
}

TEST_F(TrackBarTest, NothingIsShownBeforeSetupOrWhileDigitsAreOff) {
  TImageTrackBar& bar = MakeDisplay();
  bar.ShowValue(5.0f, false, false);  // no cells: nothing, no crash
  bar.SetupDigits(100, 50, 2, 8, 16, false, 0, false, false);
  bar.SetDigitImages(digits);
  bar.ShowValue(42.0f, false, false);
  bar.ShowDigit = false;
  bar.ShowValue(17.0f, false, false);
  EXPECT_EQ(CellText(bar), "42");
}

TEST_F(TrackBarTest, MissingDigitPicturesAreFileErrors) {
  skin.Remove("Skin\\num_none.bmp");
  skin.Remove("Skin\\dot_big.bmp");
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupDigits(100, 50, 3, 8, 16, false, 0, false, false);
  bar.SetDigitImages(digits);
  EXPECT_THROW(bar.ShowValue(5.0f, false, false), ui::FileError);
  EXPECT_NO_THROW(bar.ShowValue(500.0f, false, false)) << "no blank needed";
  TImageTrackBar& big = MakeDisplay();
  EXPECT_THROW(big.SetupDigits(100, 80, 3, 9, 18, true, 1, false, false), ui::FileError);
}

TEST_F(TrackBarTest, UntrustedDigitCountsAreKeptInBoundsAndASecondSetupReplacesTheFirst) {
  TImageTrackBar& bar = MakeDisplay();
  const std::size_t before = window.Children().size();
  bar.SetupDigits(0, 0, 100000, 8, 16, true, -4, true, false);
  EXPECT_EQ(bar.DigitCells().size(), static_cast<std::size_t>(TImageTrackBar::kMaxDigitCount));
  EXPECT_EQ(bar.Digits().DecimalCount, 0);
  bar.SetDigitImages(digits);
  bar.ShowValue(1e30f, false, false);
  bar.SetupDigits(0, 0, 3, 8, 16, true, 7, false, false);
  EXPECT_EQ(bar.DigitCells().size(), 3u);
  EXPECT_EQ(bar.Digits().DecimalCount, 3);
  // Three cells, a point and a sign: the old ones left the window.
  EXPECT_EQ(window.Children().size(), before + 5);
  bar.SetupDigits(0, 0, -3, -8, -16, false, 0, false, false);
  EXPECT_TRUE(bar.DigitCells().empty());
  bar.ShowValue(1.0f, false, false);
}

// ---- gauge ----

TEST_F(TrackBarTest, GaugePictureFollowsTheValueAndStaysWithinTheList) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SetStatusBarValue(50);  // status bar off: nothing
  EXPECT_EQ(bar.GaugeIndex(), 0);
  bar.SetupStatusBar(20, 30, 0, 100, 40, 20, 8);
  EXPECT_EQ(bar.GaugeImage().Bounds(), (Rect{20, 30, 40, 20}));
  EXPECT_EQ(bar.Bounds(), (Rect{20, 30, 40, 20}));
  bar.SetStatusBarImages(gauge);
  EXPECT_EQ(NameOf(bar.GaugeImage().Picture()), "g0");
  bar.SetStatusBarValue(50);
  EXPECT_EQ(NameOf(bar.GaugeImage().Picture()), "g4");
  bar.SetStatusBarValue(-10);
  EXPECT_EQ(bar.GaugeIndex(), 0);
  bar.SetStatusBarValue(200);  // index 16: the last picture
  EXPECT_EQ(NameOf(bar.GaugeImage().Picture()), "g7");
  EXPECT_EQ(bar.GaugeIndex(), 7);
  bar.SetStatusBarValue(99);  // 7.92 truncates to 7
  EXPECT_EQ(bar.GaugeIndex(), 7);

  TImageTrackBar& flat = MakeDisplay();
  flat.SetupStatusBar(20, 60, 5, 5, 40, 20, 8);  // no range at all
  flat.SetStatusBarImages(gauge);
  for (const int v : {5, 6, 4}) {
    flat.SetStatusBarValue(v);
    EXPECT_GE(flat.GaugeIndex(), 0);
    EXPECT_LT(flat.GaugeIndex(), gauge.Count());
  }
}

// ---- status rect ----

TEST_F(TrackBarTest, VerticalBarGrowsUpFromTheBottomAndTurnsRedPastItsRange) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupStatusRect(10, 100, 100, 6, 0.0f, 10.0f, ui::colors::kPureGreen);
  bar.SetPositionValue(5.0f);
  bar.DrawStatusRect();
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 150, 16, 200));
  EXPECT_EQ(*FillAt(bar, 12, 150), ui::colors::kPureGreen);
  EXPECT_EQ(*FillAt(bar, 12, 149), ui::colors::kButtonFace);
  EXPECT_EQ(*FillAt(bar, 15, 100), ui::colors::kButtonFace);
  EXPECT_EQ(FillAt(bar, 16, 150), nullptr) << "nothing outside the bar";

  bar.SetPositionValue(12.0f);
  bar.DrawStatusRect();
  EXPECT_TRUE(bar.OverRange());
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 100, 16, 200));
  EXPECT_EQ(*FillAt(bar, 12, 100), ui::colors::kPureRed);

  bar.SetPositionValue(-3.0f);
  EXPECT_FALSE(bar.OverRange()) << "cleared by SetPositionValue";
  bar.DrawStatusRect();
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 170, 16, 200));
  EXPECT_FALSE(bar.OverRange());
}

TEST_F(TrackBarTest, CentredBarGrowsBothWaysFromTheMiddle) {
  TImageTrackBar& bar = MakeDisplay();
  bar.CenteredMode = true;
  bar.SetupStatusRect(10, 100, 100, 6, 11.0f, 13.0f, ui::colors::kPureGreen);
  bar.SetPositionValue(12.0f);
  bar.DrawStatusRect();
  EXPECT_TRUE(bar.LastBand().IsEmpty());
  EXPECT_EQ(*FillAt(bar, 12, 150), ui::colors::kButtonFace);
  bar.SetPositionValue(12.5f);
  bar.DrawStatusRect();
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 125, 16, 175));
  bar.SetPositionValue(11.5f);
  bar.DrawStatusRect();
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 125, 16, 175)) << "whatever the sign";
  bar.SetPositionValue(14.0f);
  bar.DrawStatusRect();
  EXPECT_TRUE(bar.OverRange());
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 100, 16, 200));
  EXPECT_EQ(*FillAt(bar, 12, 199), ui::colors::kPureRed);

  TImageTrackBar& flat = MakeDisplay();
  flat.CenteredMode = true;
  flat.SetupStatusRect(40, 100, 100, 6, 12.0f, 12.0f, ui::colors::kPureGreen);
  flat.SetPositionValue(12.0f);
  flat.DrawStatusRect();
  EXPECT_FALSE(flat.OverRange());
  flat.SetPositionValue(12.5f);
  flat.DrawStatusRect();
  EXPECT_TRUE(flat.OverRange());
}

TEST_F(TrackBarTest, HorizontalBarGrowsToTheRight) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SBHorz = true;
  bar.CenteredMode = true;  // not used sideways
  bar.SetupStatusRect(10, 100, 100, 6, 0.0f, 10.0f, ui::colors::kPureGreen);
  bar.SetPositionValue(2.5f);
  bar.DrawStatusRect();
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 100, 35, 106));
  EXPECT_EQ(*FillAt(bar, 34, 103), ui::colors::kPureGreen);
  EXPECT_EQ(*FillAt(bar, 35, 103), ui::colors::kButtonFace);
  EXPECT_EQ(*FillAt(bar, 109, 105), ui::colors::kButtonFace);
  bar.SetPositionValue(1e9f);
  bar.DrawStatusRect();
  EXPECT_TRUE(bar.OverRange());
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(10, 100, 110, 106));
}

TEST_F(TrackBarTest, StatusRectSurvivesRepaintsAndMovesAndHidesWithItsDisplay) {
  ui::Image page(window, Rect{0, 0, 630, 597});
  page.SetPicture(ui::Bitmap::FromImage(ui::testing::SolidPicture(630, 597, Qt::darkBlue)));
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupStatusRect(10, 100, 100, 6, 0.0f, 10.0f, ui::colors::kPureGreen);
  bar.SetPositionValue(5.0f);
  bar.DrawStatusRect();
  // The page under the bar changes and the whole window is painted again.
  page.SetPicture(ui::Bitmap::FromImage(ui::testing::SolidPicture(630, 597, Qt::darkRed)));
  window.InvalidateAll();
  QImage frame = Render();
  EXPECT_EQ(frame.pixel(12, 160) | 0xFF000000u, qRgb(0, 255, 0));
  EXPECT_EQ(frame.pixel(12, 120) | 0xFF000000u, qRgb(240, 240, 240));

  bar.ShiftVertically(50);
  frame = Render();
  EXPECT_EQ(frame.pixel(12, 210) | 0xFF000000u, qRgb(0, 255, 0));
  EXPECT_EQ(frame.pixel(12, 120) | 0xFF000000u, QColor(Qt::darkRed).rgb());
  bar.SetPartsVisible(false);
  frame = Render();
  EXPECT_EQ(frame.pixel(12, 210) | 0xFF000000u, QColor(Qt::darkRed).rgb());
  bar.SetPartsVisible(true);
  EXPECT_EQ(Render().pixel(12, 210) | 0xFF000000u, qRgb(0, 255, 0));
}

// ---- marker placement ----

TEST_F(TrackBarTest, HorizontalMarkerSitsAtItsOriginPlusTheOffsetSoItCanBeDragged) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SBHorz = true;
  bar.SetPositionBarOrigin(387, 520);
  bar.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  bar.SetupStatusRect(387, 500, 157, 5, 25.0f, 74.0f, ui::colors::kPureGreen);
  bar.SetPositionValue(49.5f);  // offset 78.5
  EXPECT_EQ(bar.MarkerImage().Left(), 465);
  bar.SetPositionValue(20.0f);
  EXPECT_EQ(bar.MarkerImage().Left(), 387);
  bar.SetPositionValue(80.0f);
  EXPECT_EQ(bar.MarkerImage().Left(), 387 + 157);
  // Placement and drag agree: from the placed spot a drag to the right moves it on.
  bar.SetPositionValue(49.5f);
  DragMarker(bar, 10, 0);
  EXPECT_EQ(bar.MarkerImage().Left(), 475);
  EXPECT_EQ(bar.MarkerImage().Top(), 520);
}

TEST_F(TrackBarTest, VerticalMarkerRisesWithTheValue) {
  TImageTrackBar& gaugeMarker = MakeDisplay();
  gaugeMarker.SetupStatusBar(300, 403, 4, 12, 40, 85, 8);
  gaugeMarker.SetStatusRectGroup(
      {.Left = 0, .Top = 400, .Caliper = 0, .Length = 85, .Min = 4.0f, .Max = 12.0f});
  gaugeMarker.SetPositionBarOrigin(300, 488);
  gaugeMarker.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  gaugeMarker.SetPositionValue(8.0f);  // offset 42.5
  EXPECT_EQ(gaugeMarker.MarkerImage().Top(), 445);

  TImageTrackBar& rectMarker = MakeDisplay();
  rectMarker.SetupStatusRect(310, 400, 85, 6, 4.0f, 12.0f, ui::colors::kPureGreen);
  rectMarker.SetPositionBarOrigin(300, 485);
  rectMarker.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  rectMarker.SetPositionValue(8.0f);
  EXPECT_EQ(rectMarker.MarkerImage().Top(), 446) << "4 below, beside a status rect";
  rectMarker.SetPositionBarOrigin(300, 481);
  rectMarker.SetPositionValue(12.0f);  // would stand at the bar's top: moved down by its height
  EXPECT_EQ(rectMarker.MarkerImage().Top(), 408);
}

// ---- marker drag ----

TEST_F(TrackBarTest, VerticalDragShowsTheValueInDigitsWhileTheBarTrailsOneStep) {
  TImageTrackBar& bar = MakeAlarmDisplay(0.0f, 50.0f);
  int messages = 0;
  bar.OnValueStep = [&](float) { ++messages; };
  ui::Edit text(window, Rect{0, 0, 40, 12});
  bar.OneDecimalTarget = &text;
  bar.SetPositionValue(25.0f);
  EXPECT_EQ(bar.MarkerImage().Top(), 450);
  bar.DrawStatusRect();

  const Point grip{305, 452};
  mouse.MoveTo(grip);
  mouse.Press();
  mouse.MoveTo(Point{305, 442});
  EXPECT_EQ(bar.MarkerImage().Top(), 440);
  EXPECT_FLOAT_EQ(bar.Value(), 30.0f);
  EXPECT_EQ(CellText(bar), " 30");
  EXPECT_EQ(NameOf(bar.DigitCells()[0]->Picture()), "a_num_none_big") << "alternate set";
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(310, 450, 316, 500))
      << "still the value before the step";
  mouse.MoveTo(Point{305, 432});
  EXPECT_EQ(bar.LastBand(), Rect::FromEdges(310, 440, 316, 500));
  EXPECT_FLOAT_EQ(bar.Value(), 35.0f);
  bar.TempUnitCode = core::TempUnit::kFahrenheit;
  mouse.MoveTo(Point{305, 442});  // back to 30 degrees: 86 Fahrenheit
  EXPECT_EQ(CellText(bar), " 86");
  mouse.Release();
  ui.loop.RunPending();
  EXPECT_EQ(messages, 0) << "a step shown in digits posts nothing";
  EXPECT_EQ(text.Text(), "");
}

TEST_F(TrackBarTest, VerticalDragIsPinnedAtTheLimits) {
  TImageTrackBar& bar = MakeAlarmDisplay(0.0f, 50.0f);
  bar.SetPositionValue(25.0f);
  DragMarker(bar, 0, -300);
  EXPECT_EQ(bar.MarkerImage().Top(), 400);
  EXPECT_FLOAT_EQ(bar.Value(), 50.0f);
  DragMarker(bar, 0, 300);
  EXPECT_EQ(bar.MarkerImage().Top(), 500);
  EXPECT_FLOAT_EQ(bar.Value(), 0.0f);
}

TEST_F(TrackBarTest, CentredDragShowsThePercentDeviationWithItsSign) {
  TImageTrackBar& bar = MakeAlarmDisplay(11.0f, 13.0f);
  bar.CenteredMode = true;
  bar.SetPositionValue(12.0f);                        // marker top 450
  DragMarker(bar, 0, 420 - bar.MarkerImage().Top());  // 12.6 V
  EXPECT_FLOAT_EQ(bar.Value(), 12.6f);
  EXPECT_EQ(CellText(bar), "  5");
  EXPECT_EQ(NameOf(bar.SignImage()->Picture()), "a_attr_pos_big");
  DragMarker(bar, 0, 480 - bar.MarkerImage().Top());  // 11.4 V
  EXPECT_EQ(CellText(bar), "  5");
  EXPECT_EQ(NameOf(bar.SignImage()->Picture()), "a_attr_neg_big");
}

TEST_F(TrackBarTest, PositionBarDragWritesItsTextTargetAndTellsEachValueStep) {
  ui::Edit startVol(window, Rect{0, 0, 40, 12});
  std::vector<float> got;
  std::vector<ui::Message> posted;
  window.OnMessage = [&](ui::Window&, const ui::Message& m) { posted.push_back(m); };
  TImageTrackBar& vol = MakeDisplay();
  vol.SetPositionBarOrigin(300, 488);
  vol.SetStatusBarGroup(
      {.Min = 4.0f, .Max = 12.0f, .Left = 0, .Top = 403, .Width = 0, .Height = 85, .Scale = 0});
  vol.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  vol.OneDecimalTarget = &startVol;
  vol.OnValueStep = [&](float value) { got.push_back(value); };
  mouse.MoveTo(Point{305, 490});
  mouse.Press();
  mouse.MoveTo(Point{305, 450});  // marker top 448: 4 + 40 x 8 / 85
  EXPECT_EQ(startVol.Text(), "7.8");
  EXPECT_NEAR(vol.Value(), 7.7647f, 1e-3f);
  ASSERT_EQ(got.size(), 1u) << "told at once, not through the loop";
  EXPECT_NEAR(got[0], 7.7647f, 1e-3f);
  mouse.MoveTo(Point{305, 300});  // pinned at the top: 12.0
  EXPECT_EQ(startVol.Text(), "12.0");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_FLOAT_EQ(got[1], 12.0f);
  mouse.Release();
  ui.loop.RunPending();
  EXPECT_TRUE(posted.empty()) << "the control posts nothing to its window";
  got.clear();

  ui::Edit risingTemp(window, Rect{0, 20, 40, 12});
  TImageTrackBar& temp = MakeDisplay();
  temp.SBHorz = true;
  temp.SetPositionBarOrigin(387, 520);
  temp.SetStatusBarGroup(
      {.Min = 25.0f, .Max = 74.0f, .Left = 387, .Top = 0, .Width = 157, .Height = 0, .Scale = 0});
  temp.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  temp.WholeNumberTarget = &risingTemp;
  temp.OnValueStep = [&](float value) { got.push_back(value); };
  temp.SetValue(33.0f);
  DragMarker(temp, 49, 0);  // left 436: 25 + 49 x 49 / 157
  EXPECT_EQ(temp.MarkerImage().Left(), 436);
  EXPECT_EQ(risingTemp.Text(), "40");
  EXPECT_FLOAT_EQ(temp.Value(), 33.0f) << "a sideways drag keeps the stored value";
  DragMarker(temp, -100, 0);  // past the left end: nothing moves
  EXPECT_EQ(temp.MarkerImage().Left(), 436);
  EXPECT_EQ(risingTemp.Text(), "40");
  temp.TempUnitCode = core::TempUnit::kFahrenheit;
  DragMarker(temp, 0, 0);
  EXPECT_EQ(risingTemp.Text(), "104") << "shown in Fahrenheit, whole degrees truncated (104.5)";
  // Told in Celsius whatever the unit shown: 25 + 49 x 49 / 157, twice.
  ASSERT_EQ(got.size(), 2u);
  EXPECT_NEAR(got[0], 40.2930f, 1e-3f);
  EXPECT_NEAR(got[1], 40.2930f, 1e-3f);
}

TEST_F(TrackBarTest, ReleaseCommitsOnceWithTheOwningWindowAndADisabledMarkerIgnoresThePointer) {
  TImageTrackBar& bar = MakeAlarmDisplay(0.0f, 50.0f);
  bar.SetPositionValue(25.0f);
  std::vector<ui::Window*> commits;
  bar.OnCommit = [&](ui::Window& w) { commits.push_back(&w); };
  DragMarker(bar, 0, -10, ui::MouseButton::Right);
  EXPECT_EQ(commits, (std::vector<ui::Window*>{&window}));
  EXPECT_FALSE(bar.Dragging());
  mouse.Release();  // a release without a press
  EXPECT_EQ(commits.size(), 1u);

  bar.MarkerImage().SetEnabled(false);
  const int top = bar.MarkerImage().Top();
  DragMarker(bar, 0, -10);
  EXPECT_EQ(bar.MarkerImage().Top(), top);
  EXPECT_EQ(commits.size(), 1u);
}

TEST_F(TrackBarTest, AMarkerHiddenInTheMiddleOfADragStopsFollowingThePointer) {
  TImageTrackBar& bar = MakeAlarmDisplay(0.0f, 50.0f);
  bar.SetPositionValue(25.0f);
  int commits = 0;
  bar.OnCommit = [&](ui::Window&) { ++commits; };
  mouse.MoveTo(Point{305, 452});
  mouse.Press();
  mouse.MoveTo(Point{305, 442});
  EXPECT_EQ(bar.MarkerImage().Top(), 440);
  bar.SetPartsVisible(false);  // the page rolls away under the pointer
  mouse.MoveTo(Point{305, 432});
  mouse.Release();
  bar.SetPartsVisible(true);
  mouse.MoveTo(Point{305, 443});  // over the marker, no button held
  mouse.MoveTo(Point{305, 420});
  EXPECT_EQ(bar.MarkerImage().Top(), 440);
  EXPECT_EQ(commits, 0);
}

TEST_F(TrackBarTest, RollingDownAndBackUpReturnsEveryPartToItsPlace) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupDigits(100, 50, 4, 8, 16, true, 2, true, false);
  bar.SetupStatusBar(20, 30, 0, 100, 40, 20, 8);
  bar.SetPositionBarOrigin(300, 481);
  bar.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  bar.SetupStatusRect(310, 400, 85, 6, 4.0f, 12.0f, ui::colors::kPureGreen);
  bar.ShowSBar = false;
  bar.SetPositionValue(12.0f);  // the marker at the top of its bar, moved down by its height
  bar.DrawStatusRect();
  bar.ShowSBar = true;
  const auto tops = [&] {
    std::vector<int> t;
    for (const auto& cell : bar.DigitCells()) t.push_back(cell->Top());
    t.push_back(bar.DecimalPointImage()->Top());
    t.push_back(bar.SignImage()->Top());
    t.push_back(bar.GaugeImage().Top());
    t.push_back(bar.MarkerImage().Top());
    t.push_back(bar.StatusRectFill().Top());
    t.push_back(bar.Digits().Top);
    t.push_back(bar.StatusBar().Top);
    t.push_back(bar.PositionBar().Top);
    t.push_back(bar.StatusRect().Top);
    return t;
  };
  const std::vector<int> before = tops();
  bar.ShiftVertically(50);
  std::vector<int> once = before;
  for (int& t : once) t += 50;
  EXPECT_EQ(tops(), once);
  for (int i = 1; i < 12; ++i) bar.ShiftVertically(50);
  for (int i = 0; i < 12; ++i) bar.ShiftVertically(-50);
  EXPECT_EQ(tops(), before);
}

TEST_F(TrackBarTest, PartsShowAndHideTogether) {
  TImageTrackBar& bar = MakeDisplay();
  bar.SetupDigits(100, 50, 4, 8, 16, true, 2, true, false);
  bar.SetupStatusBar(20, 30, 0, 100, 40, 20, 8);
  bar.SetPositionBarOrigin(300, 481);
  bar.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  bar.SetupStatusRect(310, 400, 85, 6, 4.0f, 12.0f, ui::colors::kPureGreen);
  const auto parts = [&] {
    std::vector<const ui::Control*> p{&bar, bar.DecimalPointImage(), &bar.GaugeImage(),
                                      &bar.MarkerImage(), &bar.StatusRectFill()};
    for (const auto& cell : bar.DigitCells()) p.push_back(cell.get());
    return p;
  };
  bar.SetPartsVisible(false);
  for (const ui::Control* p : parts()) EXPECT_FALSE(p->Visible());
  EXPECT_FALSE(bar.SignImage()->Visible()) << "its bottom (65) is below the display's top (30)";
  bar.SetTop(100);
  bar.SetPartsVisible(true);
  for (const ui::Control* p : parts()) EXPECT_TRUE(p->Visible());
  EXPECT_FALSE(bar.SignImage()->Visible()) << "above the display's top: left as it is";
}

TEST(RememberingResolver, AsksOncePerPathAndAgainAfterARefusal) {
  int asks = 0;
  const FileResolver counting = [&asks](std::string_view stored) {
    ++asks;
    if (stored == "Skin\\..\\x.bmp") throw std::runtime_error("leaves the folder");
    return std::filesystem::path("/p") / std::string(stored);
  };
  const FileResolver files = Remembering(counting);
  EXPECT_EQ(files("Skin\\dot.bmp"), std::filesystem::path("/p/Skin\\dot.bmp"));
  EXPECT_EQ(files("Skin\\dot.bmp"), std::filesystem::path("/p/Skin\\dot.bmp"));
  EXPECT_EQ(asks, 1);
  EXPECT_EQ(files("Skin\\dot_big.bmp"), std::filesystem::path("/p/Skin\\dot_big.bmp"));
  EXPECT_EQ(asks, 2);
  EXPECT_THROW(files("Skin\\..\\x.bmp"), std::runtime_error);
  EXPECT_THROW(files("Skin\\..\\x.bmp"), std::runtime_error);
  EXPECT_EQ(asks, 4) << "a refusal is asked again";
  const FileResolver copy = files;
  EXPECT_EQ(copy("Skin\\dot.bmp"), std::filesystem::path("/p/Skin\\dot.bmp"));
  EXPECT_EQ(asks, 4) << "copies share what was remembered";
}

}  // namespace
}  // namespace skin
