#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/image.h"
#include "platform/ui/solid_fill.h"
#include "platform/ui/synthetic_mouse.h"
#include "platform/ui/timer.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/window.h"
#include "support/headless_ui.h"

namespace ui {
namespace {

using std::chrono::milliseconds;
using testing::HeadlessUi;

// Records what a control receives, as "name:event@x,y".
struct Recorder {
  std::vector<std::string> log;
  void Attach(Control& c, const std::string& name) {
    const auto at = [](const MouseEvent& e) {
      return "@" + std::to_string(e.pos.x) + "," + std::to_string(e.pos.y);
    };
    c.OnMouseDown = [this, name, at](Control&, const MouseEvent& e) {
      log.push_back(name + ":down" + at(e));
    };
    c.OnMouseMove = [this, name, at](Control&, const MouseEvent& e) {
      log.push_back(name + ":move" + at(e));
    };
    c.OnMouseUp = [this, name, at](Control&, const MouseEvent& e) {
      log.push_back(name + ":up" + at(e));
    };
    c.OnMouseEnter = [this, name](Control&) { log.push_back(name + ":enter"); };
    c.OnMouseLeave = [this, name](Control&) { log.push_back(name + ":leave"); };
  }
  void AttachWindow(Window& w) {
    w.OnMouseDown = [this](Window&, const MouseEvent&) { log.push_back("window:down"); };
    w.OnMouseUp = [this](Window&, const MouseEvent&) { log.push_back("window:up"); };
  }
};

class SceneTest : public ::testing::Test {
 protected:
  HeadlessUi ui;
  Window window{ui.app, Size{200, 100}};
  SyntheticMouse mouse{window};
  Recorder rec;
};

TEST_F(SceneTest, PointerLandsOnTheTopmostVisibleEnabledControlAndFillsLetItThrough) {
  Image below(window, Rect{0, 0, 50, 50});
  Image above(window, Rect{25, 25, 50, 50});
  SolidFill fill(window, Rect{0, 0, 100, 100});
  EXPECT_EQ(window.ControlAt(Point{30, 30}), &above);
  EXPECT_EQ(window.ControlAt(Point{10, 10}), &below);
  EXPECT_EQ(window.ControlAt(Point{90, 90}), nullptr) << "a fill takes no mouse input";
  above.SetEnabled(false);
  EXPECT_EQ(window.ControlAt(Point{30, 30}), &below) << "a disabled control lets input through";
  below.Hide();
  EXPECT_EQ(window.ControlAt(Point{30, 30}), nullptr);
  window.BringToFront(below);
  below.Show();
  above.SetEnabled(true);
  EXPECT_EQ(window.ControlAt(Point{30, 30}), &below) << "brought to the front";
  EXPECT_EQ(window.Children().back(), &below);
}

TEST_F(SceneTest, PressCapturesUntilReleaseWhileEnterAndLeaveFollowThePointer) {
  Image a(window, Rect{0, 0, 20, 20});
  Image b(window, Rect{50, 0, 20, 20});
  rec.Attach(a, "a");
  rec.Attach(b, "b");
  rec.AttachWindow(window);
  mouse.MoveTo(Point{5, 5});
  mouse.Press();
  mouse.MoveTo(Point{55, 5});  // over b, but a holds the pointer
  mouse.Release();
  EXPECT_EQ(rec.log, (std::vector<std::string>{"a:enter", "a:move@5,5", "a:down@5,5", "a:leave",
                                               "b:enter", "a:move@55,5", "a:up@55,5"}));
  rec.log.clear();
  mouse.MoveTo(Point{56, 6});
  mouse.Press(MouseButton::Right);
  mouse.Release(MouseButton::Right);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"b:move@6,6", "b:down@6,6", "b:up@6,6"}));
}

TEST_F(SceneTest, PressOnTheBackgroundHoldsThePointerForTheWindow) {
  Image a(window, Rect{0, 0, 20, 20});
  rec.Attach(a, "a");
  rec.AttachWindow(window);
  mouse.MoveTo(Point{100, 50});
  mouse.Press();
  mouse.MoveTo(Point{5, 5});
  mouse.Release();  // released over a: the window still gets it
  EXPECT_EQ(rec.log, (std::vector<std::string>{"window:down", "a:enter", "window:up"}));
}

TEST_F(SceneTest, ControlFreedByItsOwnHandlerOrAfterItsWindowIsHarmless) {
  auto doomed = std::make_unique<Image>(window, Rect{0, 0, 20, 20});
  doomed->OnMouseDown = [&](Control&, const MouseEvent&) { doomed.reset(); };
  mouse.MoveTo(Point{5, 5});
  mouse.Press();
  EXPECT_EQ(window.Captured(), nullptr);
  EXPECT_EQ(window.Hovered(), nullptr);
  mouse.MoveTo(Point{6, 6});
  mouse.Release();

  auto lonely = std::make_unique<Window>(ui.app, Size{10, 10});
  auto orphan = std::make_unique<Image>(*lonely, Rect{0, 0, 5, 5});
  lonely.reset();
  EXPECT_EQ(orphan->Owner(), nullptr);
  orphan->SetBounds(Rect{1, 1, 2, 2});
  orphan->Hide();
  orphan.reset();
}

TEST_F(SceneTest, OnlyChangedAreasBecomeDirty) {
  Image a(window, Rect{10, 10, 20, 20});
  Image b(window, Rect{100, 50, 10, 10});
  window.TakeDirty();
  EXPECT_TRUE(window.Dirty().IsEmpty());

  a.SetPicture(Bitmap::FromImage(testing::SolidPicture(20, 20, Qt::red)));
  EXPECT_EQ(window.Dirty().Rects(), (std::vector<Rect>{Rect{10, 10, 20, 20}}));
  window.TakeDirty();

  b.SetLeft(150);  // the old and the new place
  EXPECT_EQ(window.Dirty().Rects(),
            (std::vector<Rect>{Rect{100, 50, 10, 10}, Rect{150, 50, 10, 10}}));
  window.TakeDirty();

  b.SetLeft(150);
  a.Hide();
  a.SetPicture(nullptr);  // hidden: nothing to repaint
  EXPECT_EQ(window.Dirty().Rects(), (std::vector<Rect>{Rect{10, 10, 20, 20}}));
  window.TakeDirty();
  a.SetEnabled(false);
  EXPECT_TRUE(window.Dirty().IsEmpty()) << "enabling changes nothing drawn";
}

TEST(DirtyRegion, DropsContainedRectsClipsNothingAndCollapsesPastItsLimit) {
  DirtyRegion region;
  region.Add(Rect{0, 0, 10, 10});
  region.Add(Rect{2, 2, 3, 3});
  region.Add(Rect{0, 0, 0, 5});
  EXPECT_EQ(region.Rects().size(), 1u);
  region.Add(Rect{-5, -5, 30, 30});
  EXPECT_EQ(region.Rects(), (std::vector<Rect>{Rect{-5, -5, 30, 30}}));
  for (int i = 0; i < 40; ++i) region.Add(Rect{100 + i * 20, 0, 5, 5});
  EXPECT_LE(region.Rects().size(), DirtyRegion::kMaxRects);
  EXPECT_TRUE(region.Bounds().Contains(Rect{-5, -5, 30, 30}));
  EXPECT_TRUE(region.Bounds().Contains(Rect{100 + 39 * 20, 0, 5, 5}));
}

TEST_F(SceneTest, ExceptionFromAHandlerIsShownInTheErrorBoxAndInputGoesOn) {
  Image a(window, Rect{0, 0, 20, 20});
  int ups = 0;
  a.OnMouseDown = [](Control&, const MouseEvent&) {
    throw std::runtime_error("'abc' is not a valid integer value");
  };
  a.OnMouseUp = [&](Control&, const MouseEvent&) { ++ups; };
  mouse.Click(Point{5, 5});
  EXPECT_EQ(ui.Errors(), (std::vector<std::string>{"'abc' is not a valid integer value"}));
  EXPECT_EQ(ups, 1);
  window.OnMessage = [](Window&, const Message&) { throw 42; };
  window.Handle().Post(Message{7, 0, 0});
  ui.loop.RunPending();
  EXPECT_EQ(ui.Errors().back(), "Unknown error");
}

TEST_F(SceneTest, MessagesGoThroughTheLoopAndAreDroppedForAWindowThatIsGone) {
  std::vector<Message> got;
  window.OnMessage = [&](Window&, const Message& m) { got.push_back(m); };
  EXPECT_TRUE(window.Handle().Post(Message{2025, 0, 0}));
  EXPECT_TRUE(got.empty()) << "handled later, on the UI thread";
  ui.loop.RunPending();
  EXPECT_EQ(got, (std::vector<Message>{Message{2025, 0, 0}}));

  auto other = std::make_unique<Window>(ui.app, Size{10, 10});
  int otherGot = 0;
  other->OnMessage = [&](Window&, const Message&) { ++otherGot; };
  const WindowHandle handle = other->Handle();
  handle.Post(Message{0x0401, 1, 2});
  other.reset();
  ui.loop.RunPending();
  EXPECT_EQ(otherGot, 0);
  EXPECT_FALSE(WindowHandle().Post(Message{1, 0, 0}));
}

TEST_F(SceneTest, ShowingActivatesAndCloseRunsOnCloseBeforeHiding) {
  std::vector<std::string> events;
  window.OnActivate = [&](Window& w) {
    events.push_back(w.Visible() ? "activate" : "activate hidden");
  };
  window.OnClose = [&](Window& w) {
    events.push_back(w.Visible() ? "close while shown" : "close hidden");
  };
  window.Show();
  ui.loop.RunPending();
  window.Show();  // already shown: no second activation
  ui.loop.RunPending();
  window.InputCloseRequested();
  EXPECT_EQ(events, (std::vector<std::string>{"activate", "close while shown"}));
  EXPECT_FALSE(window.Visible());
  window.Minimize();
  EXPECT_TRUE(window.Minimized());
  EXPECT_TRUE(window.Visible());
}

TEST_F(SceneTest, SystemMoveTakesOverThePress) {
  rec.AttachWindow(window);
  window.OnMouseMove = [](Window& w, const MouseEvent& e) {
    if (Holds(e.held, MouseButton::Left)) w.BeginSystemMove();
  };
  Image a(window, Rect{0, 0, 20, 20});
  rec.Attach(a, "a");
  mouse.MoveTo(Point{100, 50});
  mouse.Press();
  mouse.MoveTo(Point{110, 50});
  EXPECT_EQ(ui.backend.SystemMoves(window), 1);
  // The desktop swallowed the release; the next press on a control still reaches it.
  rec.log.clear();
  mouse.Click(Point{5, 5});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"a:enter", "a:move@5,5", "a:down@5,5", "a:up@5,5"}));
}

TEST_F(SceneTest, EditsAndComboBoxesTellUserChangesFromProgramOnes) {
  Edit edit(window, Rect{0, 0, 50, 12});
  ComboBox combo(window, Rect{0, 20, 60, 16});
  int editChanges = 0, comboChanges = 0;
  edit.OnChange = [&](Edit&) { ++editChanges; };
  combo.OnChange = [&](ComboBox&) { ++comboChanges; };

  edit.SetText("Test1");
  edit.InputText("T1");
  EXPECT_EQ(edit.Text(), "T1");
  edit.SetEnabled(false);
  edit.InputText("ignored");
  EXPECT_EQ(edit.Text(), "T1");
  EXPECT_EQ(editChanges, 1);

  combo.SetItems({"TS_PSU", "T1", "T2", "T3", "T4"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.SetItemIndex(2);
  EXPECT_EQ(combo.SelectedText(), "T2");
  combo.SetItemIndex(9);
  EXPECT_EQ(combo.ItemIndex(), -1) << "outside the items means none";
  combo.InputSelect(4);
  combo.InputSelect(5);
  EXPECT_EQ(combo.ItemIndex(), 4);
  EXPECT_EQ(comboChanges, 1);
}

TEST(Timer, FollowsItsIntervalAndEnabledState) {
  HeadlessUi ui;
  Timer timer(ui.app);
  std::vector<long> ticks;
  timer.OnTimer = [&](Timer&) { ticks.push_back(ui.loop.Now().count()); };
  EXPECT_FALSE(timer.Enabled());
  ui.loop.AdvanceBy(milliseconds{5000});
  EXPECT_TRUE(ticks.empty());

  timer.SetEnabled(true);                 // at 5000
  ui.loop.AdvanceBy(milliseconds{1500});  // tick at 6000
  timer.SetEnabled(true);                 // running already: no restart
  ui.loop.AdvanceBy(milliseconds{600});   // tick at 7000
  timer.SetInterval(milliseconds{100});   // at 7100: starts over
  ui.loop.AdvanceBy(milliseconds{250});   // ticks at 7200, 7300
  timer.SetInterval(milliseconds{0});     // never fires
  ui.loop.AdvanceBy(milliseconds{5000});
  EXPECT_EQ(ticks, (std::vector<long>{6000, 7000, 7200, 7300}));
}

TEST(Timer, TickErrorsAreShownAndAFreedTimerNeverTicks) {
  HeadlessUi ui;
  auto timer = std::make_unique<Timer>(ui.app);
  timer->SetInterval(milliseconds{100});
  timer->OnTimer = [](Timer&) { throw std::runtime_error("tick failed"); };
  timer->SetEnabled(true);
  ui.loop.AdvanceBy(milliseconds{200});
  EXPECT_EQ(ui.Errors(), (std::vector<std::string>{"tick failed", "tick failed"}));
  timer.reset();
  ui.loop.AdvanceBy(milliseconds{1000});
  EXPECT_EQ(ui.Errors().size(), 2u);
  EXPECT_EQ(ui.loop.TimerCount(), 0u);
}

TEST(TrayIcon, HidesToTheTrayOrMinimisesWhereThereIsNone) {
  for (const bool available : {true, false}) {
    HeadlessUi ui;
    ui.backend.SetTrayAvailable(available);
    Window window(ui.app, Size{10, 10});
    TrayIcon tray(ui.app, window);
    int minimized = 0, restored = 0;
    tray.OnMinimize = [&](TrayIcon&) { ++minimized; };
    tray.OnRestore = [&](TrayIcon&) { ++restored; };
    window.Show();
    tray.Minimize();
    EXPECT_TRUE(tray.InTray());
    EXPECT_EQ(window.Visible(), !available);
    EXPECT_EQ(window.Minimized(), !available);
    tray.InputDoubleClick();
    EXPECT_FALSE(tray.InTray());
    EXPECT_TRUE(window.Visible());
    EXPECT_FALSE(window.Minimized());
    EXPECT_EQ(minimized, 1);
    EXPECT_EQ(restored, 1);
  }
}

TEST(TrayIcon, MenuItemsRunTheirRoutineAndItsErrorsAreShown) {
  HeadlessUi ui;
  Window window(ui.app, Size{10, 10});
  TrayIcon tray(ui.app, window);
  std::vector<std::string> chosen;
  tray.AddMenuItem("AlarmDefault", [&] { chosen.push_back("AlarmDefault"); });
  tray.AddMenuItem("Show", [&] { throw std::runtime_error("no window"); });
  tray.AddMenuItem("Exit", [&] { chosen.push_back("Exit"); });
  tray.SetHint("Watt: 123.45");
  tray.InputMenuChoice(0);
  tray.InputMenuChoice(1);
  tray.InputMenuChoice(2);
  tray.InputMenuChoice(3);  // no such item
  EXPECT_EQ(chosen, (std::vector<std::string>{"AlarmDefault", "Exit"}));
  EXPECT_EQ(ui.Errors(), (std::vector<std::string>{"no window"}));
  EXPECT_EQ(tray.Hint(), "Watt: 123.45");
}

TEST(ScriptedDialogs, AnswersFromTheScriptThenTheDefaultAndRecordsEverything) {
  ScriptedDialogs dialogs;
  dialogs.QueueAnswer(true);
  EXPECT_TRUE(dialogs.AskYesNo("again?"));
  EXPECT_FALSE(dialogs.AskYesNo("again?"));
  dialogs.SetDefaultAnswer(true);
  EXPECT_TRUE(dialogs.AskYesNo("again?"));
  dialogs.ShowMessage("New Value Setting OK!");
  EXPECT_EQ(dialogs.History().size(), 4u);
  EXPECT_EQ(dialogs.Texts(ScriptedDialogs::Kind::Message),
            (std::vector<std::string>{"New Value Setting OK!"}));
}

}  // namespace
}  // namespace ui
