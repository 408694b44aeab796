#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "device/recording_sleeper.h"
#include "mainwindow/form_main.h"
#include "platform/registry/reg_file_store.h"
#include "platform/ui/application.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/scripted_dialogs.h"
#include "sim/simulated_bus.h"
#include "support/temp_folder.h"
#include "support/worker_test_support.h"

namespace mainwindow::testing {

using ScratchFolder = testing_support::TempFolder;

// The folder of the built programs: the generated skin and the factory settings lie there.
inline std::filesystem::path BinFolder() {
  const char* bin = std::getenv("QUELTA_BIN_DIR");
  return bin ? std::filesystem::path(bin) : std::filesystem::path();
}

// Everything the real main window runs on in a test: the headless application with virtual
// time and scripted dialogs, a simulated bus, a settings file copied from the factory file,
// and a worker whose pauses end only when the test releases them.
class FormMainTest : public ::testing::Test {
 protected:
  // How long a wait for an event may take before the test fails: far beyond any event's
  // real time, even on a machine busy with other builds.
  static constexpr auto kRealLimit = std::chrono::seconds(30);

  FormMainTest() {
    loop_.SetErrorHandler([this](std::exception_ptr e) { app_.ShowException(e); });
  }
  ~FormMainTest() override {
    form_.reset();
    bus_.reset();
  }

  // The settings file the window reads; the factory file unless a test gives another.
  void UseSettingsFrom(const std::filesystem::path& file) { settingsSource_ = file; }

  sim::SimulatedBus& MakeBus(sim::Scenario scenario = {}) {
    bus_ = std::make_unique<sim::SimulatedBus>(std::move(scenario));
    return *bus_;
  }

  // FormCreate, then the window is shown (its activation is posted, as on a desktop).
  TFormMain& Create(platform::HidBus* bus = nullptr) {
    if (!bus_ && !bus) MakeBus();
    std::filesystem::copy_file(settingsSource_, settingsFile_,
                               std::filesystem::copy_options::overwrite_existing);
    store_ = std::make_unique<platform::RegFileStore>(settingsFile_);
    FormMainEnvironment environment{
        app_,   bus ? *bus : *bus_, *store_, programFolder_, scratch_.Path(), sleeper_, pause_,
        0x0409, ResourceStrips()};
    environment.reportSkinProblem = [this](const std::string& why) {
      skinProblems_.push_back(why);
    };
    environment.historyFile = historyFile_;
    environment.historyClock = historyClock_;
    environment.notifier = notifier_;
    environment.openHistory = openHistory_;
    form_ = std::make_unique<TFormMain>(std::move(environment));
    form_->Window().Show();
    return *form_;
  }

  // Lets the worker finish cycle n (counting from 1) and runs what it handed over.
  void RunCycle(std::size_t n) {
    if (n > 1) pause_.Release();
    ASSERT_TRUE(pause_.AwaitPause(n));
    loop_.RunPending();
  }

  // Runs posted tasks until `done` holds (the worker posts from its own thread).
  bool RunUntil(const std::function<bool()>& done) { return loop_.RunUntil(done, kRealLimit); }

  // Lets the oldest waiting pause end (when two workers share the stepped pause, the one
  // that has waited longest: the ending one) and waits for the text that must follow.
  bool ReleaseUntilShown(const std::string& text) {
    pause_.Release();
    return RunUntil([&] { return Shown(text); });
  }

  std::vector<std::string> Messages() const {
    return dialogs_.Texts(ui::ScriptedDialogs::Kind::Message);
  }
  std::vector<std::string> Questions() const {
    return dialogs_.Texts(ui::ScriptedDialogs::Kind::Question);
  }
  bool Shown(const std::string& text) const {
    const auto all = Messages();
    return std::find(all.begin(), all.end(), text) != all.end();
  }

  // A click on a control, as the pointer gives it.
  void Click(const ui::Control& control) {
    const ui::Rect& b = control.Bounds();
    const ui::Point p{b.left + b.width / 2, b.top + b.height / 2};
    form_->Window().InputMouseMove(p);
    form_->Window().InputMouseDown(ui::MouseButton::Left, p);
    form_->Window().InputMouseUp(ui::MouseButton::Left, p);
  }

  ScratchFolder scratch_;
  std::filesystem::path settingsSource_ = BinFolder() / "quelta-factory.reg";
  std::filesystem::path settingsFile_ = scratch_.Path() / "registry.reg";
  // The folder the window takes its skin from.
  std::filesystem::path programFolder_ = BinFolder();
  ui::HeadlessEventLoop loop_;
  ui::ScriptedDialogs dialogs_;
  ui::HeadlessBackend backend_;
  ui::Application app_{loop_, dialogs_, backend_};
  device::RecordingSleeper sleeper_;
  device::testing::SteppedPause pause_;
  std::unique_ptr<sim::SimulatedBus> bus_;
  std::unique_ptr<platform::RegistryStore> store_;
  // The record the window writes, and its clock; none: the window records nothing.
  std::filesystem::path historyFile_;
  const history::HistoryClock* historyClock_ = nullptr;
  // What the window tells of alarm starts and how it opens its history window; none by default.
  platform::DesktopNotifier* notifier_ = nullptr;
  std::function<void()> openHistory_;
  std::unique_ptr<TFormMain> form_;
  // What the window said was wrong with its skin, as the program writes it to stderr.
  std::vector<std::string> skinProblems_;
};

}  // namespace mainwindow::testing
