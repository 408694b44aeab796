#include "platform/ui/desktop_window_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/image.h"
#include "platform/ui/window.h"
#include "support/headless_ui.h"

namespace ui {
namespace {

using testing::HeadlessUi;

// A desktop backend that writes down what the shared host asks of it. Its children are
// numbered as made; a child whose number is listed as stale is made again.
class RecordingHost : public DesktopWindowHost<int> {
 public:
  explicit RecordingHost(Window& window) : DesktopWindowHost(window) {}
  void Invalidated(const Rect&) override {}

  std::vector<std::string> log;
  std::vector<int> stale;

 private:
  void ShowAs(Showing showing) override {
    log.push_back(showing == Showing::Hidden      ? "hide"
                  : showing == Showing::Minimized ? "minimize"
                                                  : "show");
  }
  std::optional<int> MakeNative(Control& control) override {
    if (dynamic_cast<Edit*>(&control) == nullptr) return std::nullopt;  // combo boxes too
    log.push_back("make " + std::to_string(++made_));
    return made_;
  }
  bool Stale(const Control&, const int& native) const override {
    return std::find(stale.begin(), stale.end(), native) != stale.end();
  }
  void SyncNative(Control&, int& native) override {
    log.push_back("sync " + std::to_string(native));
  }
  void DropNative(int& native) override { log.push_back("drop " + std::to_string(native)); }

  int made_ = 0;
};

class DesktopWindowHostTest : public ::testing::Test {
 protected:
  HeadlessUi ui;
  Window window{ui.app, Size{200, 100}};
  RecordingHost host{window};
};

TEST_F(DesktopWindowHostTest, TheWindowFollowsTheSceneRoundHiddenShownMinimisedAndBack) {
  for (const auto& [step, expected] : std::vector<std::pair<void (Window::*)(), std::string>>{
           {&Window::Show, "show"},
           {&Window::Minimize, "minimize"},
           {&Window::Show, "show"},
           {&Window::Hide, "hide"},
           {&Window::Minimize, "minimize"},  // from hidden, straight to the taskbar
           {&Window::Show, "show"}}) {
    (window.*step)();
    host.log.clear();
    host.VisibilityChanged();
    EXPECT_EQ(host.log, std::vector<std::string>{expected});
  }
}

TEST_F(DesktopWindowHostTest, AChildIsMadeOnceSyncedAtEachChangeAndDroppedWithItsControl) {
  Image picture(window, Rect{0, 0, 10, 10});
  Edit edit(window, Rect{10, 10, 40, 12});
  host.log.clear();
  host.ControlChanged(picture);  // not native: no child at all
  host.ControlChanged(edit);
  host.ControlChanged(edit);
  host.ControlRemoved(edit);
  host.ControlRemoved(edit);  // already gone
  host.ControlChanged(edit);  // back again: a new child
  EXPECT_EQ(host.log,
            (std::vector<std::string>{"make 1", "sync 1", "sync 1", "drop 1", "make 2", "sync 2"}));
}

TEST_F(DesktopWindowHostTest, AStaleChildIsDroppedAndMadeAgainBeforeItsSync) {
  Edit edit(window, Rect{10, 10, 40, 12});
  ComboBox combo(window, Rect{10, 30, 40, 12});
  host.log.clear();
  host.ControlChanged(edit);
  host.ControlChanged(combo);  // the backend makes none for it: nothing to sync
  host.stale = {1};
  host.ControlChanged(edit);
  host.ControlChanged(edit);
  EXPECT_EQ(host.log,
            (std::vector<std::string>{"make 1", "sync 1", "drop 1", "make 2", "sync 2", "sync 2"}));
}

TEST(NativeTextHeight, IsTheBoxLessItsInsetButNeverBelowEight) {
  HeadlessUi ui;
  Window window{ui.app, Size{200, 100}};
  for (const auto& [height, expected] :
       std::vector<std::pair<int, int>>{{0, 8}, {10, 8}, {11, 8}, {12, 9}, {20, 17}}) {
    Edit edit(window, Rect{0, 0, 40, height});
    EXPECT_EQ(NativeTextHeight(edit, kEditTextInset), expected) << height;
  }
}

}  // namespace
}  // namespace ui
