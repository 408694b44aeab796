// Live windows on Qt's offscreen platform: the scene is painted by a real widget, takes real
// mouse and keyboard input, and repaints only what changed.
#include <gtest/gtest.h>

#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <stdexcept>
#include <thread>

#include "platform/ui/application.h"
#include "platform/ui/edit.h"
#include "platform/ui/image.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_dialogs.h"
#include "platform/ui/qt/qt_event_loop.h"
#include "platform/ui/qt/qt_window_host.h"
#include "platform/ui/qt/scene_widget.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/window.h"
#include "support/headless_ui.h"
#include "support/qt_application.h"

namespace ui {
namespace {

using testing::SolidPicture;

// Records the areas the widget was asked to paint.
class PaintSpy : public QObject {
 public:
  std::vector<QRect> painted;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
    return QObject::eventFilter(watched, event);
  }
};

class LiveWindow : public ::testing::Test {
 protected:
  explicit LiveWindow(int scale = 1) : backend(scale) {}

  qt::SceneWidget& Widget() { return static_cast<qt::QtWindowHost*>(window->Host())->Widget(); }
  void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  QApplication& qapp = testing::QtApp();
  qt::QtEventLoop loop;
  ScriptedDialogs dialogs;
  qt::QtBackend backend;
  Application app{loop, dialogs, backend};
  std::unique_ptr<Window> window = std::make_unique<Window>(app, Size{120, 80});
};

TEST_F(LiveWindow, ShowsImagesAnEditAndAButtonAndTakesAClickAndTyping) {
  window->SetBackgroundColor(Color{0, 0, 0});
  window->SetTransparentColor(colors::kMagenta);
  Image background(*window, Rect{0, 0, 120, 80});
  background.SetPicture(Bitmap::FromImage(SolidPicture(120, 80, QColor(30, 30, 120))));
  Image corner(*window, Rect{100, 60, 20, 20});
  corner.SetPicture(Bitmap::FromImage(SolidPicture(20, 20, QColor(255, 0, 255))));
  Image button(*window, Rect{10, 10, 30, 20});
  button.SetPicture(Bitmap::FromImage(SolidPicture(30, 20, Qt::green)));
  Edit edit(*window, Rect{50, 10, 51, 12});
  edit.SetText("Test1");
  edit.SetBorderless(true);
  int clicks = 0, editPresses = 0;
  std::vector<std::string> typed;
  button.OnMouseUp = [&](Control&, const MouseEvent& e) {
    ++clicks;
    EXPECT_EQ(e.pos, (Point{5, 6}));
  };
  edit.OnMouseDown = [&](Control&, const MouseEvent&) { ++editPresses; };
  edit.OnChange = [&](Edit& e) { typed.push_back(e.Text()); };

  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Settle();
  const QImage shot = Widget().grab().toImage();
  EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::green));
  EXPECT_EQ(shot.pixelColor(5, 70), QColor(30, 30, 120));
  EXPECT_TRUE(Widget().mask().contains(QPoint(5, 70)));
  EXPECT_FALSE(Widget().mask().contains(QPoint(110, 70))) << "the key colour is outside the shape";

  QTest::mouseClick(&Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(15, 16));
  Settle();
  EXPECT_EQ(clicks, 1);

  auto* line =
      qobject_cast<QLineEdit*>(static_cast<qt::QtWindowHost*>(window->Host())->NativeFor(edit));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text(), "Test1");
  EXPECT_EQ(line->geometry(), QRect(50, 10, 51, 12));
  QTest::mouseClick(line, Qt::LeftButton);
  line->selectAll();
  QTest::keyClicks(line, "T9");
  EXPECT_EQ(editPresses, 1);
  EXPECT_EQ(edit.Text(), "T9");
  EXPECT_EQ(typed.back(), "T9");
  edit.SetText("from the program");
  EXPECT_EQ(line->text(), "from the program");
  edit.Hide();
  EXPECT_FALSE(line->isVisible());
  EXPECT_TRUE(dialogs.History().empty());
}

// A page of fields rolls away while one of them has the focus: the focus must not wander
// down the tab chain into the other fields (the one it lands on shows its text selected).
// Nothing takes the focus at start either: a field with a blinking cursor is not idle.
TEST_F(LiveWindow, NoFieldTakesTheFocusAtStartOrWhenAFocusedFieldHides) {
  Edit first(*window, Rect{10, 10, 40, 12});
  Edit second(*window, Rect{10, 30, 40, 12});
  Edit third(*window, Rect{10, 50, 40, 12});
  first.SetText("T1");
  second.SetText("T2");
  third.SetText("T3");
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Widget().activateWindow();
  Settle();
  auto* host = static_cast<qt::QtWindowHost*>(window->Host());
  auto* line1 = qobject_cast<QLineEdit*>(host->NativeFor(first));
  auto* line2 = qobject_cast<QLineEdit*>(host->NativeFor(second));
  auto* line3 = qobject_cast<QLineEdit*>(host->NativeFor(third));
  ASSERT_TRUE(line1 && line2 && line3);
  EXPECT_FALSE(line1->hasFocus() || line2->hasFocus() || line3->hasFocus());

  QTest::mouseClick(line1, Qt::LeftButton);
  Settle();
  ASSERT_TRUE(line1->hasFocus());
  first.Hide();
  Settle();
  EXPECT_FALSE(line2->hasFocus());
  EXPECT_FALSE(line3->hasFocus());
  EXPECT_FALSE(line2->hasSelectedText());
  EXPECT_FALSE(line3->hasSelectedText());

  // Tab still moves between the fields that show.
  QTest::mouseClick(line2, Qt::LeftButton);
  QTest::keyClick(line2, Qt::Key_Tab);
  Settle();
  EXPECT_TRUE(line3->hasFocus());
}

TEST_F(LiveWindow, RepaintsOnlyWhatChangedAndCostsNothingWhenIdle) {
  Image a(*window, Rect{0, 0, 60, 80});
  Image b(*window, Rect{60, 0, 60, 80});
  a.SetPicture(Bitmap::FromImage(SolidPicture(60, 80, Qt::red)));
  b.SetPicture(Bitmap::FromImage(SolidPicture(60, 80, Qt::blue)));
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Settle();
  PaintSpy spy;
  Widget().installEventFilter(&spy);
  Settle();
  EXPECT_TRUE(spy.painted.empty()) << "an idle window paints nothing";
  EXPECT_EQ(loop.TimerCount(), 0u) << "and runs no timers";

  Image marker(*window, Rect{70, 30, 8, 8});
  marker.SetPicture(Bitmap::FromImage(SolidPicture(8, 8, Qt::yellow)));
  Settle();
  ASSERT_FALSE(spy.painted.empty());
  QRect all;
  for (const QRect& r : spy.painted) all |= r;
  EXPECT_EQ(all, QRect(70, 30, 8, 8));
  EXPECT_EQ(Widget().grab().toImage().pixelColor(73, 33), QColor(Qt::yellow));
  EXPECT_EQ(Widget().Frame().pixelColor(10, 10), QColor(Qt::red))
      << "the rest was kept, not redrawn";
}

TEST_F(LiveWindow, WhatTheShapeRegainsShowsTheSceneNotTheKeyColour) {
  window->SetBackgroundColor(colors::kMagenta);
  window->SetTransparentColor(colors::kMagenta);
  Image page(*window, Rect{0, 0, 120, 80});
  page.SetPicture(Bitmap::FromImage(SolidPicture(120, 80, QColor(30, 30, 120))));
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Settle();
  // The page rolls down by 30 and back up, as a page roll moves its picture: the band it
  // leaves shows the key colour and drops out of the shape, then comes back into it.
  page.SetBounds(Rect{0, 30, 120, 50});
  Settle();
  EXPECT_FALSE(Widget().mask().contains(QPoint(60, 10)));
  page.SetBounds(Rect{0, 0, 120, 80});
  Settle();
  ASSERT_TRUE(Widget().mask().contains(QPoint(60, 10)));
  // What the desktop shows is the widget's backing store, not a fresh paint of it.
  const QImage shown = Widget().screen()->grabWindow(Widget().winId()).toImage();
  ASSERT_FALSE(shown.isNull());
  int keyPixels = 0;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (Widget().mask().contains(QPoint(x, y)) && shown.pixelColor(x, y) == QColor(255, 0, 255))
        ++keyPixels;
    }
  }
  EXPECT_EQ(keyPixels, 0);
  EXPECT_EQ(shown.pixelColor(60, 10), QColor(30, 30, 120));
}

TEST_F(LiveWindow, AnAnimationFrameIsPaintedAtOnceInOnePaintAndNeverLost) {
  window->SetBackgroundColor(colors::kMagenta);
  window->SetTransparentColor(colors::kMagenta);
  Image page(*window, Rect{0, 0, 120, 80});
  page.SetPicture(Bitmap::FromImage(SolidPicture(120, 80, QColor(30, 30, 120))));
  Image fan1(*window, Rect{10, 10, 20, 20});
  Image fan2(*window, Rect{80, 40, 20, 20});
  const auto red = Bitmap::FromImage(SolidPicture(20, 20, Qt::red));
  const auto green = Bitmap::FromImage(SolidPicture(20, 20, Qt::green));
  const auto key = Bitmap::FromImage(SolidPicture(20, 20, QColor(255, 0, 255)));
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Settle();
  PaintSpy spy;
  Widget().installEventFilter(&spy);

  // Both frames of one tick: one paint, done before the call returns, and nothing left for
  // the event loop to paint again.
  window->PaintAtOnce([&] {
    fan1.SetPicture(red);
    window->PaintAtOnce([&] { fan2.SetPicture(green); });
    EXPECT_TRUE(spy.painted.empty()) << "an inner call leaves the paint to the outer one";
  });
  ASSERT_EQ(spy.painted.size(), 1u);
  EXPECT_TRUE(spy.painted[0].contains(QRect(10, 10, 20, 20)));
  EXPECT_TRUE(spy.painted[0].contains(QRect(80, 40, 20, 20)));
  EXPECT_EQ(Widget().Frame().pixelColor(15, 15), QColor(Qt::red));
  EXPECT_EQ(Widget().Frame().pixelColor(85, 45), QColor(Qt::green));
  Settle();
  EXPECT_EQ(spy.painted.size(), 1u);

  // A frame that opens a see-through hole takes it out of the shape; the next closes it.
  window->PaintAtOnce([&] { fan1.SetPicture(key); });
  EXPECT_FALSE(Widget().mask().contains(QPoint(15, 15)));
  window->PaintAtOnce([&] { fan1.SetPicture(red); });
  EXPECT_TRUE(Widget().mask().contains(QPoint(15, 15)));

  // Changes cut short by an exception are still painted, by the event loop.
  EXPECT_THROW(window->PaintAtOnce([&] {
    fan2.SetPicture(red);
    throw std::runtime_error("cut short");
  }),
               std::runtime_error);
  Settle();
  EXPECT_EQ(Widget().Frame().pixelColor(85, 45), QColor(Qt::red));

  // A hidden window paints nothing now and shows the last frame when it comes back.
  window->Hide();
  Settle();
  spy.painted.clear();
  window->PaintAtOnce([&] { fan2.SetPicture(green); });
  EXPECT_TRUE(spy.painted.empty());
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Settle();
  EXPECT_EQ(Widget().grab().toImage().pixelColor(85, 45), QColor(Qt::green));
}

class ScaledLiveWindow : public LiveWindow {
 protected:
  ScaledLiveWindow() : LiveWindow(2) {}
};

TEST_F(ScaledLiveWindow, ScalesTheSceneByAWholeFactorWithoutSmoothing) {
  window->SetBackgroundColor(Color{0, 0, 0});
  QImage checker(4, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x)
      checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  }
  Image image(*window, Rect{10, 10, 4, 4});
  image.SetPicture(Bitmap::FromImage(checker));
  Point pressed{-1, -1};
  image.OnMouseDown = [&](Control&, const MouseEvent& e) { pressed = e.windowPos; };
  window->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
  Settle();
  EXPECT_EQ(Widget().size(), QSize(240, 160));
  const QImage shot = Widget().grab().toImage();
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const QRgb want = ((x / 2) + (y / 2)) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
      ASSERT_EQ(shot.pixel(20 + x, 20 + y) | 0xFF000000u, want) << x << "," << y;
    }
  }
  QTest::mouseClick(&Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(27, 21));
  EXPECT_EQ(pressed, (Point{13, 10}));
}

TEST(QtEventLoop, RunsPostsFromOtherThreadsInOrderTicksTimersAndQuits) {
  testing::QtApp();
  qt::QtEventLoop loop;
  std::vector<int> order;
  int ticks = 0, zeroTicks = 0;
  loop.StartTimer(std::chrono::milliseconds{0}, [&] { ++zeroTicks; });
  EventLoop::TimerId id = 0;
  // The timer ends the run once it ticked three times and every post has arrived.
  id = loop.StartTimer(std::chrono::milliseconds{1}, [&] {
    if (++ticks >= 3 && order.size() == 100) {
      loop.StopTimer(id);
      loop.Quit();
    }
  });
  std::jthread worker([&] {
    for (int i = 0; i < 100; ++i) loop.Post([&order, i] { order.push_back(i); });
  });
  loop.Run();
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(zeroTicks, 0);
  EXPECT_GE(loop.Now().count(), 3);
  EXPECT_EQ(loop.TimerCount(), 1u) << "only the zero-interval one is left";
}

// The message boxes open now, and an OK for the one on top.
int OpenMessageBoxes() {
  int open = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(widget) && widget->isVisible()) ++open;
  }
  return open;
}
void AnswerTopBox() {
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->done(0);
}

TEST(QtDialogs, AMessageStillWaitingForItsOkIsNotStackedAgain) {
  testing::QtApp();
  qt::QtDialogs dialogs("Quelta");
  std::vector<int> open;
  QTimer::singleShot(0, [&] {
    open.push_back(OpenMessageBoxes());
    // The same words: back at once (were a second box shown, this answers it).
    bool stacked = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      stacked = true;
      AnswerTopBox();
    });
    guard.start(0);
    dialogs.ShowMessage("Connection Removed!");
    guard.stop();
    EXPECT_FALSE(stacked);
    open.push_back(OpenMessageBoxes());
    QTimer::singleShot(0, [&] {
      open.push_back(OpenMessageBoxes());
      AnswerTopBox();
    });
    dialogs.ShowMessage("Removed!");  // other words: a box of their own
    open.push_back(OpenMessageBoxes());
    AnswerTopBox();
  });
  dialogs.ShowMessage("Connection Removed!");
  EXPECT_EQ(open, (std::vector<int>{1, 1, 2, 1}));
  // Answered, the words show again.
  QTimer::singleShot(0, [&] {
    open.push_back(OpenMessageBoxes());
    AnswerTopBox();
  });
  dialogs.ShowMessage("Connection Removed!");
  EXPECT_EQ(open.back(), 1);
  EXPECT_EQ(open.size(), 5u);
}

}  // namespace
}  // namespace ui
