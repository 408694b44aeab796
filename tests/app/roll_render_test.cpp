// The rendered main window after page rolls: nothing of the colour key shows inside its shape.
#include <gtest/gtest.h>

#include <QImage>

#include "form_main_fixture.h"
#include "pages/roll_codes.h"
#include "platform/ui/render_window.h"

namespace mainwindow::testing {
namespace {

using namespace std::chrono_literals;

class RollRenderTest : public FormMainTest {
 protected:
  // Rolls to a page with the bar's tab and ticks until the roll has stopped.
  void RollTo(std::int32_t page) {
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
  int KeyPixelsInsideShape(std::int32_t page) const {
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
    check(form_->PageImages().Image(page), places[page - kMonitorPage]);
    check(form_->Bar()->ImgCtrl(), pages::kImgCtrlPlace);
    return count;
  }
};

TEST_F(RollRenderTest, NoKeyColourShowsInsideTheShapeAfterRollingToEveryPageAndBack) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  EXPECT_EQ(KeyPixelsInsideShape(kMonitorPage), 0);
  // Every page from every other page: monitor, configuration, alarm and back, both ways.
  for (const std::int32_t page :
       {kConfigPage, kMonitorPage, kAlarmPage, kConfigPage, kAlarmPage, kMonitorPage}) {
    SCOPED_TRACE("page " + std::to_string(page));
    RollTo(page);
    EXPECT_EQ(KeyPixelsInsideShape(page), 0);
  }
}

}  // namespace
}  // namespace mainwindow::testing
