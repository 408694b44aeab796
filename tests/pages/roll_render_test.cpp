// The rendered main window after page rolls: nothing of the colour key shows inside its shape.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>

#include "pages/roll_codes.h"
#include "platform/ui/render_window.h"
#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

using namespace std::chrono_literals;

class RollRenderTest : public FormMainTest {
 protected:
  // Rolls to a page with the bar's tab and ticks until the roll has stopped.
  void RollTo(pages::Page page) {
    Click(form_->Bar()->Tab(page));
    ASSERT_TRUE(form_->Roll()->TimerDown().Enabled());
    for (int ticks = 0; form_->Roll()->TimerDown().Enabled(); ++ticks) {
      ASSERT_LT(ticks, 100) << "the roll never ends";
      loop_.AdvanceBy(100ms);
    }
    ASSERT_EQ(form_->CurrentPage(), page);
  }

  // The window's shape with a page shown is where the page picture at its place and the bar
  // picture are not the key colour. Counts the key-coloured pixels the window shows there.
  int KeyPixelsInsideShape(pages::Page page) const {
    const QImage shot = ui::RenderWindow(form_->Window());
    const QRgb key = qRgb(255, 0, 255);
    const ui::Rect places[] = {pages::kImgManagerPlace, pages::kImgConfigPlace,
                               pages::kImgAlarmPlace};
    int count = 0;
    const auto check = [&](const ui::Image& image, const ui::Rect& place) {
      const QImage& picture = image.Picture()->Opaque();
      for (int y = 0; y < std::min(place.height, picture.height()); ++y) {
        for (int x = 0; x < std::min(place.width, picture.width()); ++x) {
          if (picture.pixel(x, y) != key && shot.pixel(place.left + x, place.top + y) == key)
            ++count;
        }
      }
    };
    check(form_->PageImages().Image(page), places[pages::PageIndex(page)]);
    check(form_->Bar()->ImgCtrl(), pages::kImgCtrlPlace);
    return count;
  }
};

TEST_F(RollRenderTest, NoKeyColourShowsInsideTheShapeAfterRollingToEveryPageAndBack) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  EXPECT_EQ(KeyPixelsInsideShape(Page::kMonitor), 0);
  // Every page from every other page: monitor, configuration, alarm and back, both ways.
  for (const pages::Page page :
       {Page::kConfig, Page::kMonitor, Page::kAlarm, Page::kConfig, Page::kAlarm, Page::kMonitor}) {
    SCOPED_TRACE("page " + std::to_string(static_cast<int>(page)));
    RollTo(page);
    EXPECT_EQ(KeyPixelsInsideShape(page), 0);
  }
}

// The headless render of every page, as checksums of its pixels: how a page looks must not
// change when the way it is loaded or painted does. A deliberate change of the skin or of a
// page gives new checksums (print them with the render written out and look at it first).
class PageChecksumTest : public RollRenderTest {
 protected:
  std::string Checksum() const {
    QImage shot = ui::RenderWindow(form_->Window()).convertToFormat(QImage::Format_RGB32);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < shot.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
      for (int x = 0; x < shot.width(); ++x) {
        const QRgb pixel = line[x] & 0xFFFFFFu;
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&pixel), sizeof pixel));
      }
    }
    return std::to_string(shot.width()) + "x" + std::to_string(shot.height()) + " " +
           hash.result().toHex().left(16).toStdString();
  }
};

TEST_F(PageChecksumTest, EveryPageAndSubPageRendersAsBefore) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  const std::string monitor = Checksum();
  EXPECT_EQ(monitor, "630x659 ee31c6097529661f");
  RollTo(Page::kConfig);
  EXPECT_EQ(Checksum(), "630x659 08257f28c744768a") << "fan-speed sub-page";
  Click(*form.Config()->Button("Vol"));
  EXPECT_EQ(Checksum(), "630x659 4302393bf063df91") << "voltage sub-page";
  RollTo(Page::kAlarm);
  EXPECT_EQ(Checksum(), "630x659 44cc3560bc904bc7") << "alarm page, power group";
  const std::pair<const char*, const char*> groups[] = {
      {"Voltage", "630x659 b7622570c9baf6ef"},
      {"Current", "630x659 f8aa4c68d895ae8c"},
      {"FanSpeed", "630x659 c7b957e2881f92af"},
      {"Temperature", "630x659 12d55e59c0100b61"}};
  for (const auto& [group, checksum] : groups) {
    Click(*form.AlarmPage()->Button(group));
    EXPECT_EQ(Checksum(), checksum) << "alarm page, group " << group;
  }
  RollTo(Page::kMonitor);
  EXPECT_EQ(Checksum(), "630x659 c9180787e746a1ff") << "the monitor page again";
  form.Roll()->ToggleCollapse();
  loop_.AdvanceBy(std::chrono::milliseconds(5000));
  EXPECT_EQ(Checksum(), "630x53 ade84538e5547f64") << "collapsed";
}

TEST_F(PageChecksumTest, APagesPicturesAreDecodedWhenItIsFirstShownAndOnlyOnce) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  Checksum();  // the first frame
  const ui::BitmapCache& bitmaps = app_.Bitmaps();
  const auto picture = [&](pages::Page page) { return form.PageImages().Image(page).Picture(); };
  ASSERT_TRUE(picture(Page::kConfig) && picture(Page::kAlarm));
  EXPECT_TRUE(picture(Page::kMonitor)->Decoded());
  EXPECT_FALSE(picture(Page::kConfig)->Decoded()) << "the configuration page was not shown yet";
  EXPECT_FALSE(picture(Page::kAlarm)->Decoded()) << "the alarm page was not shown yet";
  const std::size_t atStart = bitmaps.Decodes();

  RollTo(Page::kConfig);
  Checksum();
  EXPECT_TRUE(picture(Page::kConfig)->Decoded());
  EXPECT_FALSE(picture(Page::kAlarm)->Decoded());
  EXPECT_GT(bitmaps.Decodes(), atStart);
  RollTo(Page::kAlarm);
  Checksum();
  EXPECT_TRUE(picture(Page::kAlarm)->Decoded());

  // All the way round once more: every picture comes from the cache, none is read again.
  const std::size_t files = bitmaps.Size();
  const std::size_t decoded = bitmaps.Decodes();
  for (const pages::Page page : {Page::kMonitor, Page::kConfig, Page::kAlarm, Page::kMonitor}) {
    RollTo(page);
    Checksum();
  }
  EXPECT_EQ(bitmaps.Size(), files);
  EXPECT_EQ(bitmaps.Decodes(), decoded);
}

}  // namespace
}  // namespace mainwindow::testing

namespace mainwindow::testing {
namespace {

// The window on Windows paints the scene into a frame without Qt: every page, sub-page, alarm
// group and the collapsed bar must come out as the Qt render gives them, outside the native
// edits and combo box (which the desktop draws there).
class FrameRenderTest : public RollRenderTest {
 protected:
  // Pixels where the two renders differ.
  int Differing() const {
    const ui::RenderOptions options{.skipNative = true};
    const QImage qt = ui::RenderWindow(form_->Window(), options);
    ui::Frame frame = ui::Frame::Filled(qt.width(), qt.height(), ui::Color{1, 2, 3});
    ui::RenderWindowFrame(form_->Window(), frame, {ui::Rect{0, 0, qt.width(), qt.height()}},
                          options);
    int count = 0;
    for (int y = 0; y < qt.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(qt.constScanLine(y));
      for (int x = 0; x < qt.width(); ++x) count += (line[x] & 0xFFFFFFu) != frame.At(x, y);
    }
    return count;
  }
};

TEST_F(FrameRenderTest, EveryPageIsPaintedWithoutQtAsQtPaintsIt) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  EXPECT_EQ(Differing(), 0) << "monitor page";
  RollTo(Page::kConfig);
  EXPECT_EQ(Differing(), 0) << "fan-speed sub-page";
  Click(*form.Config()->Button("Vol"));
  EXPECT_EQ(Differing(), 0) << "voltage sub-page";
  RollTo(Page::kAlarm);
  for (const char* group : {"Voltage", "Current", "FanSpeed", "Temperature", "Watt"}) {
    Click(*form.AlarmPage()->Button(group));
    EXPECT_EQ(Differing(), 0) << "alarm page, group " << group;
  }
  // Half way through a roll back to the monitor page, then there.
  Click(form.Bar()->Tab(Page::kMonitor));
  loop_.AdvanceBy(std::chrono::milliseconds(300));
  EXPECT_EQ(Differing(), 0) << "mid-roll";
  RollTo(Page::kMonitor);
  EXPECT_EQ(Differing(), 0) << "the monitor page again";
  form.Roll()->ToggleCollapse();
  loop_.AdvanceBy(std::chrono::milliseconds(5000));
  EXPECT_EQ(Differing(), 0) << "collapsed";
}

TEST_F(FrameRenderTest, PaintingOneAreaLeavesTheRestOfTheFrameAsItWas) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  const ui::Color untouched{1, 2, 3};
  ui::Frame frame =
      ui::Frame::Filled(form.Window().ClientWidth(), form.Window().ClientHeight(), untouched);
  const ui::Rect area{100, 200, 50, 40};
  ui::RenderWindowFrame(form.Window(), frame, {area});
  int outside = 0, inside = 0;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const bool kept = frame.At(x, y) == ui::Frame::Word(untouched);
      if (area.Contains(ui::Point{x, y})) {
        inside += kept;
      } else {
        outside += !kept;
      }
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(inside, 0);
}

}  // namespace
}  // namespace mainwindow::testing
