// The two skinned controls in a live Qt window on the offscreen platform: real mouse events
// drive the button and the marker, and message 2025 comes back through the Qt loop.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/ui/application.h"
#include "platform/ui/edit.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_event_loop.h"
#include "platform/ui/qt/qt_window_host.h"
#include "platform/ui/qt/scene_widget.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/window.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"
#include "support/qt_application.h"
#include "tests/skin/control_fixture.h"

namespace skin {
namespace {

TEST(LiveControls, AButtonAndAMarkerAreDrivenByRealMouseEvents) {
  ui::testing::QtApp();
  testing::SkinFolder skin;
  ui::qt::QtEventLoop loop;
  ui::ScriptedDialogs dialogs;
  ui::qt::QtBackend backend;
  ui::Application app(loop, dialogs, backend);
  ui::Window window(app, ui::Size{200, 150});
  auto& widget = static_cast<ui::qt::QtWindowHost*>(window.Host())->Widget();

  const std::array<std::string, 4> faces{"Skin\\btn_leave.bmp", "Skin\\btn_enter.bmp",
                                         "Skin\\btn_click.bmp", "Skin\\btn_dis.bmp"};
  int clicks = 0;
  auto button = BuildImageLabel(window, ButtonLayout{10, 10, 30, 20}, faces, skin.Files(),
                                [&](TImageLabel&) { ++clicks; });
  button->Repaint();

  ui::Edit startVol(window, ui::Rect{100, 10, 40, 12});
  std::vector<float> steps;
  TImageTrackBar vol(window, skin.Files());
  vol.SetPositionBarOrigin(60, 130);
  vol.SetStatusBarGroup(
      {.Min = 4.0f, .Max = 12.0f, .Left = 0, .Top = 45, .Width = 0, .Height = 85, .Scale = 0});
  vol.LoadMarker(skin.Path("Skin\\marker.bmp"), 12, 8);
  vol.OneDecimalTarget = &startVol;
  vol.OnValueStep = [&](float value) { steps.push_back(value); };

  window.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));

  QTest::mouseMove(&widget, QPoint(20, 20));
  EXPECT_EQ(button->ShownFace(), TImageLabel::Face::Enter);
  EXPECT_EQ(widget.cursor().shape(), Qt::PointingHandCursor);
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  EXPECT_EQ(button->ShownFace(), TImageLabel::Face::Click);
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  EXPECT_EQ(clicks, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(widget.grab().toImage().pixelColor(11, 11),
            QColor(button->Picture(TImageLabel::Face::Enter)->Opaque().pixelColor(1, 1)));

  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(65, 132));
  QTest::mouseMove(&widget, QPoint(65, 92));  // marker top 90: 4 + 40 x 8 / 85
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(65, 92));
  EXPECT_EQ(vol.MarkerImage().Top(), 90);
  EXPECT_EQ(startVol.Text(), "7.8");
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_NEAR(steps[0], 7.7647f, 1e-3f);
  EXPECT_TRUE(dialogs.History().empty());
}

}  // namespace
}  // namespace skin
