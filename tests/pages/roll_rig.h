#pragma once

#include <unistd.h>
#include <QColor>
#include <QImage>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "alarms/alarm_page_controls.h"
#include "pages/config_page_controls.h"
#include "pages/control_bar.h"
#include "pages/control_group.h"
#include "pages/ctrl_buttons.h"
#include "pages/monitor_page_controls.h"
#include "pages/page_images.h"
#include "pages/page_roll.h"
#include "pages/roll_codes.h"
#include "pages/window_drag.h"
#include "platform/ui/application.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/image.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/synthetic_mouse.h"
#include "platform/ui/window.h"
#include "skin/file_resolver.h"
#include "skin/image_track_bar.h"
#include "skin/skin_files.h"
#include "support/temp_folder.h"

namespace pages::testing {

// A program folder of its own with a small picture for every file the bar loads.
class SkinFolder {
 public:
  SkinFolder() {
    std::filesystem::create_directories(folder_.Path() / "Skin");
    std::vector<std::string> names = skin::SharedBitmaps();
    for (const char* tab : {"M_", "C_", "A_"}) {
      for (const char* state : {"up", "over", "down", "dis"}) {
        names.push_back(std::string("Skin\\") + tab + state + ".bmp");
      }
    }
    int hue = 0;
    for (const std::string& name : names) {
      QImage picture(12, 12, QImage::Format_RGB32);
      picture.fill(QColor::fromHsv((hue += 7) % 360, 200, 200));
      picture.save(QString::fromStdString(Files()(name).string()), "BMP");
    }
  }

  skin::FileResolver Files() const { return skin::ProgramFolderFiles(folder_.Path()); }

 private:
  testing_support::TempFolder folder_;
};

inline skin::ButtonRecord Record(int left, int top, int width, int height, const std::string& set) {
  skin::ButtonRecord record{skin::ButtonLayout{left, top, width, height}, {}};
  for (const char* state : {"up", "over", "down", "dis"}) {
    record.bitmaps.push_back("Skin\\" + set + state + ".bmp");
  }
  return record;
}

// The default skin's bar: tabs at 607, close and minimise at 612 (bar offsets 10 and 15).
inline CtrlButtons StockButtons() {
  return CtrlButtons{Record(12, 607, 96, 36, "M_"), Record(112, 607, 96, 36, "C_"),
                     Record(212, 607, 96, 36, "A_"), Record(334, 612, 36, 28, "LED_-_"),
                     Record(376, 612, 36, 28, "LED_x_")};
}

// What the roll and the bar asked of the window.
struct HookLog {
  int fanStops = 0, fanStarts = 0, alarmTimerEnables = 0, subPageShows = 0, alarmRefreshes = 0;
  int closes = 0, minimises = 0;
  std::vector<bool> ledRequests;
  SubPage subPage = SubPage::kFan;
};

// A main window with the three page pictures, a few controls in each page's container, the bar
// and the roll, on the headless framework with virtual time.
struct RollRig {
  static constexpr ui::Point kWindowAt{200, 100};

  ui::HeadlessEventLoop loop;
  ui::ScriptedDialogs dialogs;
  ui::HeadlessBackend backend;
  ui::Application app{loop, dialogs, backend};
  SkinFolder folder;
  ui::Window window{app, kClientArea};
  WindowDrag drag{window};
  PageImages images{window, drag};
  HookLog log;
  WindowHooks hooks = LoggingHooks(log);
  MonitorPageControls monitor{hooks};
  SubPageControls fanSubPage, voltageSubPage;
  ConfigPageControls config{fanSubPage, voltageSubPage, [this] { return log.subPage; },
                            [this] { ++log.subPageShows; }};
  alarms::AlarmPageControls alarm{[this] { ++log.alarmRefreshes; }};
  std::vector<std::unique_ptr<ui::Control>> owned;
  std::vector<std::unique_ptr<skin::TImageTrackBar>> displays;
  std::unique_ptr<ControlBar> bar;
  std::unique_ptr<PageRoll> roll;
  ui::SyntheticMouse mouse{window};

  RollRig() {
    window.SetPosition(kWindowAt);
    drag.AttachBackground();
    window.Show();
    loop.RunPending();
  }

  // A plain control at (left, top), 40 x height; hidden ones start hidden.
  ui::Control* Plain(ControlGroup& group, int top, int height, bool visible = true) {
    owned.push_back(std::make_unique<ui::Image>(window, ui::Rect{20, top, 40, height}));
    owned.back()->SetVisible(visible);
    group.Add(owned.back().get());
    return owned.back().get();
  }

  // A three-digit display whose own bounds are its gauge (height 20).
  skin::TImageTrackBar* Display(ControlGroup& group, int top, bool visible = true) {
    auto display = std::make_unique<skin::TImageTrackBar>(window, folder.Files());
    display->SetupStatusBar(300, top, 0, 100, 60, 20, 1);
    display->SetupDigits(400, top, 3, 9, 18, false, 0, false, false);
    display->SetPartsVisible(visible);
    group.Add(display.get());
    displays.push_back(std::move(display));
    return displays.back().get();
  }

  static WindowHooks LoggingHooks(HookLog& log) {
    WindowHooks hooks;
    hooks.StopFanAnimation = [&log] { ++log.fanStops; };
    hooks.StartFanAnimation = [&log] { ++log.fanStarts; };
    hooks.EnableAlarmTimer = [&log] { ++log.alarmTimerEnables; };
    hooks.RequestLed = [&log](bool on) {
      log.ledRequests.push_back(on);
      return true;
    };
    hooks.CloseWindow = [&log] { ++log.closes; };
    hooks.MinimizeToTray = [&log] { ++log.minimises; };
    return hooks;
  }

  // Builds the bar and the roll (after the page controls, so the bar is drawn over them) and
  // registers the three pages' containers.
  void Build() {
    bar = std::make_unique<ControlBar>(window, StockButtons(), folder.Files(), drag, hooks);
    roll = std::make_unique<PageRoll>(window, images, *bar, hooks);
    roll->Register(Page::kMonitor, monitor);
    roll->Register(Page::kConfig, config);
    roll->Register(Page::kAlarm, alarm);
  }

  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) loop.AdvanceBy(kTimerDownInterval);
  }
  // Ticks until the roll stops; returns how many ticks it took (gives up after 100).
  int RollToEnd() {
    int ticks = 0;
    while (roll->TimerDown().Enabled() && ticks < 100) {
      Tick();
      ++ticks;
    }
    return ticks;
  }

  void ClickTab(Page page) {
    const ui::Rect& r = bar->Tab(page).Bounds();
    mouse.Click(ui::Point{r.left + 5, r.top + 5});
  }
  void ClickArrow() {
    const ui::Rect& r = bar->ImgCtrlMode().Bounds();
    mouse.Click(ui::Point{r.left + 4, r.top + 4});
  }
  // A point in bar pixels, as a window point.
  ui::Point AtBar(int x, int y) const { return ui::Point{x, bar->Top() + y}; }

  std::shared_ptr<const ui::Bitmap> Pic(const std::string& stored) {
    return app.Bitmaps().Load(folder.Files()(stored));
  }
  std::shared_ptr<const ui::Bitmap> Normal(Page page) const {
    return bar->Tab(page).Picture(skin::TImageLabel::Face::Leave);
  }
};

}  // namespace pages::testing
