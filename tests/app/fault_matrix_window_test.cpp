// The fault matrix, the rows that need the real main window: its message socket and worker
// pool under a restart flood, quelta-ctl commands beside its worker on one simulated PSU, and
// settings written from both sides while the device fails. Every row: no crash, the UI thread
// never held for 1.5 s, and what the row names.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/run_ctl.h"
#include "device/recording_sleeper.h"
#include "device/trace_log.h"
#include "device/tracing_hid_bus.h"
#include "mainwindow/message_server.h"
#include "mainwindow/window_messages.h"
#include "pages/config_page.h"
#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/reg_file_store.h"
#include "platform/ui/render_window.h"
#include "support/core_application.h"
#include "support/form_main_fixture.h"
#include "support/hostile_bitmaps.h"

namespace mainwindow::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kLongestHold = 1500ms;
constexpr const char* kRemoved = "Connection Removed!";

// The worker's pause between cycles, shortened as --cycle-ms does, so many cycles run.
class ShortPause : public device::RealCyclePause {
 public:
  void Wait(std::chrono::milliseconds, std::stop_token abandon) override {
    RealCyclePause::Wait(10ms, abandon);
  }
};

// One simulated PSU seen through a second bus, as another program on the machine sees it: it
// opens its own handles on the same device. Change notices stay with the window.
class SharedBus : public platform::HidBus {
 public:
  explicit SharedBus(platform::HidBus& inner) : inner_(inner) {}
  std::vector<platform::HidInterfaceInfo> Interfaces() override { return inner_.Interfaces(); }
  std::vector<std::optional<std::string>> PresentDeviceIds() override {
    return inner_.PresentDeviceIds();
  }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    return inner_.Open(path, access);
  }
  void SetChangeListener(std::function<void()>) override {}

 private:
  platform::HidBus& inner_;
};

std::size_t Entries(const char* folder) {
  const auto all = std::filesystem::directory_iterator(folder);
  return static_cast<std::size_t>(std::distance(begin(all), end(all)));
}

std::string FileText(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every value of a settings file, "key\name" to its text as written.
std::map<std::string, std::string> Values(const std::string& text) {
  std::map<std::string, std::string> values;
  std::istringstream in(text);
  std::string key;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '[') key = line.substr(1, line.size() - 2);
    const std::size_t split = line.find("\"=");
    if (!line.empty() && line.front() == '"' && split != std::string::npos) {
      values[key + "\\" + line.substr(1, split - 1)] = line.substr(split + 2);
    }
  }
  return values;
}

// The reading of the 12 V rail a trim ended at, from "12v: 11.972 V -> 12.101 V in 8 steps".
struct TrimLine {
  float before = 0, after = 0;
  int steps = -1;
};
TrimLine ParseTrim(const std::string& out) {
  TrimLine t;
  std::sscanf(out.c_str(), "12v: %f V -> %f V in %d steps", &t.before, &t.after, &t.steps);
  return t;
}

// One holder of the access mutex at a time (its takes and releases alternate), every report
// to the PSU inside a hold, and every reply whole: no holder's exchange falls among another's.
std::string BrokenExchange(const std::vector<std::string>& trace) {
  bool held = false;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    const std::string& line = trace[i];
    const std::string at = "line " + std::to_string(i + 1) + " \"" + line + "\"";
    if (line == "LOCK") {
      if (held) return at + ": taken while held";
      held = true;
    } else if (line == "UNLOCK") {
      if (!held) return at + ": released while free";
      held = false;
    } else if (line.rfind("M ", 0) == 0) {
      if (!held) return at + ": outside the lock";
      if (line.rfind("M R ", 0) == 0 && line.rfind("M R 9 ", 0) != 0) return at + ": broken reply";
    }
  }
  return "";
}

// The real main window on a simulated PSU that polls every 10 ms, its reports and the access
// mutex's takes and releases traced to one file that quelta-ctl can append to as well, its
// message socket served, and the user's settings file over the factory tree, as in the program.
class WindowMatrix : public FormMainTest {
 protected:
  WindowMatrix() { std::filesystem::create_directories(lockFolder_); }
  ~WindowMatrix() override {
    server_.reset();
    form_.reset();  // its workers use the tracing bus and the pause
  }

  // The simulated PSU answers at once unless `options` give its reads a wait of their own.
  TFormMain& Start(sim::Scenario scenario = {}, sim::SimulatedDevices::Options options = {},
                   bool awaitPoll = true) {
    scenario.monitor.noise = false;
    bus_ = std::make_unique<sim::SimulatedBus>(std::move(scenario), std::move(options));
    log_ = device::TraceLog::Open(trace_).log;
    tracing_ = std::make_unique<device::TracingHidBus>(*bus_, *log_);
    std::ofstream(settingsFile_) << "Windows Registry Editor Version 5.00\n\n" << userSettings_;
    store_ = platform::OpenSettingsStore(settingsFile_, programFolder_);
    FormMainEnvironment environment{app_,     *tracing_,   *store_, programFolder_,  lockFolder_,
                                    sleeper_, shortPause_, 0x0409,  ResourceStrips()};
    environment.accessMutexObserver = [this](platform::NamedMutex::Event event) {
      log_->Event(event == platform::NamedMutex::Event::Locked ? "LOCK" : "UNLOCK");
    };
    form_ = std::make_unique<TFormMain>(environment);
    form_->Window().Show();
    server_ = std::make_unique<MessageServer>(form_->Window().Handle());
    EXPECT_EQ(server_->Listen(socket_), MessageServer::ListenResult::Listening);
    if (awaitPoll) {
      EXPECT_TRUE(AwaitPoll());
    }
    return *form_;
  }

  // Runs the UI thread (the socket and the posted tasks) until `done`, timing every turn.
  bool Serve(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
      if (std::chrono::steady_clock::now() - start > limit) return false;
      const auto turn = std::chrono::steady_clock::now();
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      loop_.RunPending();
      longestTurn_ = std::max(longestTurn_, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - turn));
    }
    return true;
  }

  // True once a poll begun after this call reached the window: the readings keep coming.
  // Hand-overs already posted run first; of the polls that come after, the third began after
  // the call even when the first was under way at it.
  bool AwaitPoll() {
    loop_.RunPending();
    for (int poll = 0; poll < 3; ++poll) {
      form_->TrayIcon1().SetHint("");
      if (!Serve([&] { return form_->TrayIcon1().Hint().rfind("Watt: ", 0) == 0; })) return false;
    }
    return true;
  }

  std::size_t Count(const std::string& text) const {
    const auto all = Messages();
    return static_cast<std::size_t>(std::count(all.begin(), all.end(), text));
  }

  // quelta-ctl in this process, on the window's PSU, its lock folder and its trace.
  struct Ctl {
    int code;
    std::string out, err;
  };
  Ctl RunCtl(std::vector<std::string> command) {
    std::vector<std::string> args{"--trace=" + trace_.string(),
                                  "--registry=" + settingsFile_.string()};
    args.insert(args.end(), command.begin(), command.end());
    device::RecordingSleeper sleeper;
    app::ctl::CtlHost host{lockFolder_, sleeper,
                           {},          {},
                           BinFolder(), [this] { return std::make_unique<SharedBus>(*bus_); }};
    std::ostringstream out, err;
    const int code = app::ctl::RunCtl(args, out, err, host);
    return {code, out.str(), err.str()};
  }

  // The trace without its time stamps.
  std::vector<std::string> Trace() const {
    std::vector<std::string> lines;
    std::ifstream in(trace_);
    for (std::string line; std::getline(in, line);)
      lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
  }

  testing_support::CoreApplication qt_;
  ShortPause shortPause_;
  std::filesystem::path lockFolder_ = scratch_.Path() / "lock";
  std::filesystem::path trace_ = scratch_.Path() / "trace.txt";
  std::filesystem::path socket_ = scratch_.Path() / "Quelta";
  std::unique_ptr<device::TraceLog> log_;
  std::unique_ptr<device::TracingHidBus> tracing_;
  std::unique_ptr<MessageServer> server_;
  std::string userSettings_;  // the user's settings file holds these values at start
  std::chrono::milliseconds longestTurn_{0};
};

// 100 restart messages within one second on the window's socket, as `quelta-ctl send
// restart-worker` sends them, while the worker polls. Each replaces the worker; the replaced
// ones finish beside their successors, each says "Connection Removed!" once and is joined.
// The UI thread is never held 1.5 s; afterwards exactly one worker polls, with no thread or
// descriptor more than before and the settings file as it was (a restart writes nothing).
TEST_F(WindowMatrix, AHundredRestartsInOneSecondLeaveOneWorkerPolling) {
  TFormMain& form = Start();
  const std::string settings = FileText(settingsFile_);
  const std::size_t threads = Entries("/proc/self/task");
  const std::size_t descriptors = Entries("/proc/self/fd");
  const std::uint64_t generation = form.Ready().Generation();

  std::atomic<bool> sent{false};
  std::chrono::milliseconds sending{0};
  std::vector<int> codes;
  std::thread sender([&] {
    const auto start = std::chrono::steady_clock::now();
    std::ostringstream err;
    for (int i = 0; i < 100; ++i)
      codes.push_back(app::ctl::SendWindowMessage(socket_, kWorkerRestartMessage, err));
    sending = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    sent = true;
  });
  const bool arrived = Serve([&] { return sent && form.Ready().Generation() == generation + 100; });
  sender.join();
  ASSERT_TRUE(arrived) << form.Ready().Generation() - generation << " restarts arrived";
  EXPECT_EQ(codes, std::vector<int>(100, app::ctl::kExitDone));
  EXPECT_LT(sending, 1000ms);

  // Every replaced worker ends and is joined; the last one stays.
  ASSERT_TRUE(Serve([&] {
    form.Workers().ReapFinished();
    return Count(kRemoved) == 100 && form.Workers().Count() == 1;
  })) << Count(kRemoved)
      << " ended, " << form.Workers().Count() << " in the pool";
  EXPECT_TRUE(form.Ready().IsSet());
  EXPECT_TRUE(form.Connected());
  ASSERT_TRUE(AwaitPoll());
  ASSERT_TRUE(Serve([&] { return server_->Connections() == 0; }));
  // Threads and descriptors of this process come and go around the workers (decoding ahead,
  // the socket's connections): the count is awaited to come back down, never read once.
  EXPECT_TRUE(Serve([&] { return Entries("/proc/self/task") <= threads; }))
      << Entries("/proc/self/task") << " threads, " << threads << " before the flood";
  EXPECT_TRUE(Serve([&] { return Entries("/proc/self/fd") <= descriptors; }))
      << Entries("/proc/self/fd") << " descriptors, " << descriptors << " before the flood";
  EXPECT_EQ(Count(kRemoved), 100u) << "nothing more ended after the flood";
  EXPECT_EQ(FileText(settingsFile_), settings);
  EXPECT_EQ(BrokenExchange(Trace()), "");
  EXPECT_LT(longestTurn_, kLongestHold);
  std::cout << "  100 restarts sent in " << sending.count() << " ms, longest UI turn "
            << longestTurn_.count() << " ms\n";
}

// Two quelta-ctl commands at once beside the window's polling worker, all three on one
// simulated PSU and one lock folder, tracing to one file: a fan curve with a trim, then the
// LED with a status. The access mutex keeps every exchange whole, each command gives its
// result and exit code 0 and the PSU shows it, and the window keeps polling the same PSU
// (it reads the trimmed rail).
TEST_F(WindowMatrix, TwoCtlCommandsBesideTheWindowsWorker) {
  TFormMain& form = Start();
  const auto both = [&](std::vector<std::string> a, std::vector<std::string> b) {
    auto first = std::async(std::launch::async, [&] { return RunCtl(a); });
    auto second = std::async(std::launch::async, [&] { return RunCtl(b); });
    EXPECT_TRUE(Serve([&] {
      return first.wait_for(0s) == std::future_status::ready &&
             second.wait_for(0s) == std::future_status::ready;
    }));
    return std::make_pair(first.get(), second.get());
  };

  const auto [fan, trim] = both({"fan", "psu", "9.0", "50"}, {"trim", "12v", "12.1"});
  EXPECT_EQ(fan.code, 0) << fan.err;
  // 9.0 V x 256 / (5 x 3.3 V) = 139.6: code 139.
  EXPECT_EQ(fan.out, "PSU fan curve: start 9.0 V (code 139), rising from 50 C\n");
  EXPECT_EQ(bus_->Psu().PsuFanCurve().voltageCode, 139);
  EXPECT_EQ(bus_->Psu().PsuFanCurve().risingTemperature, 50);
  ASSERT_EQ(trim.code, 0) << trim.err;
  const TrimLine trimmed = ParseTrim(trim.out);
  EXPECT_EQ(trimmed.steps, bus_->Psu().TrimSteps(sim::SimulatedPsu::Output::V12)) << trim.out;
  EXPECT_GT(trimmed.steps, 0) << trim.out;
  EXPECT_NEAR(trimmed.after, 12.1f, 0.02f) << trim.out;
  ASSERT_TRUE(AwaitPoll());
  EXPECT_NEAR(form.Monitor().Readings().Values().Vol12V2, trimmed.after, 0.01f);

  const auto [led, status] = both({"led", "off"}, {"status", "--json"});
  EXPECT_EQ(led.code, 0) << led.err;
  EXPECT_EQ(led.out, "LED off\n");
  EXPECT_FALSE(bus_->Psu().LedOn());
  ASSERT_EQ(status.code, 0) << status.err;
  const auto json = nlohmann::json::parse(status.out);
  for (const auto& [group, good] : json["groups"].items()) EXPECT_TRUE(good.get<bool>()) << group;
  EXPECT_NEAR(json["Vol12V2"].get<float>(), trimmed.after, 0.01f);

  ASSERT_TRUE(AwaitPoll());
  EXPECT_TRUE(form.Ready().IsSet());
  EXPECT_EQ(Count(kRemoved), 0u);
  const std::vector<std::string> trace = Trace();
  EXPECT_EQ(BrokenExchange(trace), "");
  EXPECT_GE(std::count(trace.begin(), trace.end(), "LOCK"), 4 + 2);  // four commands, two polls
  EXPECT_LT(longestTurn_, kLongestHold);
}

// Settings written from both sides while the device fails: quelta-ctl restores the alarm
// defaults three times over while the window saves a manual PSU fan curve, loses the PSU in
// the cycle that sends the curve, and at Exit saves a sensor name. Afterwards the file parses
// and holds every value written before; what was written meanwhile is there whole: the fan
// curve, every factory threshold, and the sensor name new or old.
TEST_F(WindowMatrix, SettingsWrittenFromBothSidesWhileTheDeviceGoesKeepEveryValue) {
  // Thresholds of the user's own, which the restores put back to the factory's.
  userSettings_ =
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\n\"Watt\"=\"500.00\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Current]\n\"12V1\"=\"20.00\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature]\n\"PSU\"=\"65.00\"\n";
  TFormMain& form = Start();
  // What the window reads: the factory's values under the user's.
  const std::map<std::string, std::string> factory = Values(FileText(settingsSource_));
  const auto effective = [&] {
    std::map<std::string, std::string> values = Values(FileText(settingsFile_));
    values.insert(factory.begin(), factory.end());  // only where the user's file has none
    return values;
  };
  const std::map<std::string, std::string> before = effective();

  form.Monitor().EditT(2).InputText("GPU");
  Click(form.Bar()->Tab(pages::Page::kConfig));
  for (int tick = 0; tick < 30; ++tick) loop_.AdvanceBy(100ms);
  pages::FanSpeedPage& fan = form.Config()->Fan();
  Click(*fan.ButtonOf(settings::FanMode::kManual));
  fan.EditStartVol().InputText("9.0");
  fan.EditRisingTemp().InputText("50");

  auto restores = std::async(std::launch::async, [&] {
    std::vector<Ctl> runs;
    for (int i = 0; i < 3; ++i) runs.push_back(RunCtl({"alarms", "restore-defaults"}));
    return runs;
  });
  Click(*form.Config()->Button("OK"));
  EXPECT_EQ(Messages().back(), "New Value Setting OK!");
  bus_->SetMonitorPresent(false);
  ASSERT_TRUE(Serve([&] { return Count(kRemoved) == 1; }));
  form.TrayIcon1().InputMenuChoice(form.TrayIcon1().MenuIndex("Exit"));
  ASSERT_TRUE(form.Closed());
  ASSERT_TRUE(Serve([&] { return restores.wait_for(0s) == std::future_status::ready; }));
  for (const Ctl& run : restores.get()) EXPECT_EQ(run.code, 0) << run.err;

  ASSERT_NO_THROW(platform::RegFileStore(settingsFile_).Read());
  const std::map<std::string, std::string> after = effective();
  const std::string root = "HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\";
  std::map<std::string, std::string> expected = before;
  expected[root + "Config\\FanSpeed\\PSUFan\\Mode"] = "\"604\"";
  expected[root + "Config\\FanSpeed\\PSUFan\\Manual\\Vol"] = "\"9.0\"";
  expected[root + "Config\\FanSpeed\\PSUFan\\Manual\\Temp"] = "\"50\"";
  expected[root + "Alarm\\Watt\\Watt"] = "\"450.00\"";
  expected[root + "Alarm\\Temperature\\PSU"] = "\"60.00\"";
  expected[root + "Alarm\\Current\\12V1"] = "\"18.00\"";
  // The last restore may have written the name as it loaded it, before the window's save.
  const std::string name = root + "Alarm\\Temperature\\T2Name";
  EXPECT_TRUE(after.at(name) == "\"GPU\"" || after.at(name) == "\"T2\"") << after.at(name);
  expected[name] = after.at(name);
  EXPECT_EQ(after.size(), expected.size());
  for (const auto& [value, text] : expected) {
    const auto found = after.find(value);
    EXPECT_TRUE(found != after.end() && found->second == text)
        << value << ": " << (found == after.end() ? "gone" : found->second) << ", not " << text;
  }
  EXPECT_LT(longestTurn_, kLongestHold);
}

// Exit while the PSU has stopped answering (the currents and the fans are silent, each read
// waiting out its full second): Exit comes as the worker asks for the currents. The sensor
// name is saved and the window closes with its worker joined, within 1.5 s: the worker gives
// up the rest of its cycle once the program ends and waits out only the read under way.
TEST_F(WindowMatrix, ExitWhileThePsuStopsAnsweringSavesAndEndsInTime) {
  sim::Scenario scenario;
  scenario.monitor.replies[0x02].kind = sim::ReplyOverride::Kind::Silent;
  scenario.monitor.replies[0x03].kind = sim::ReplyOverride::Kind::Silent;
  sim::SimulatedDevices::Options realWaits;
  realWaits.waitForTimeout = [](std::chrono::milliseconds wait) {
    std::this_thread::sleep_for(wait);
  };
  TFormMain& form = Start(std::move(scenario), std::move(realWaits), false);
  ASSERT_TRUE(form.Started());
  form.Monitor().EditT(2).InputText("GPU");
  ASSERT_TRUE(Serve([&] {
    const std::vector<std::string> trace = Trace();
    return std::any_of(trace.begin(), trace.end(),
                       [](const std::string& l) { return l.rfind("M W 6 00 02 ", 0) == 0; });
  }));
  const auto exit = std::chrono::steady_clock::now();
  form.TrayIcon1().InputMenuChoice(form.TrayIcon1().MenuIndex("Exit"));
  const auto took = std::chrono::steady_clock::now() - exit;
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(form.Workers().Count(), 0u);
  std::cout << "  exit with the PSU silent took "
            << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
  EXPECT_LT(took, kLongestHold)
      << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
  ASSERT_NO_THROW(platform::RegFileStore(settingsFile_).Read());
  const std::map<std::string, std::string> saved = Values(FileText(settingsFile_));
  EXPECT_EQ(saved.at("HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature\\T2Name"),
            "\"GPU\"");
}

// The socket's name taken over while the window runs: its socket is removed, a newer copy
// starts and binds the name, and then the older window exits. The newer copy's socket stays:
// `quelta-ctl send restore` reaches it, and a third start finds it running instead of binding.
TEST_F(WindowMatrix, AnOlderWindowsExitLeavesTheSocketOfTheCopyThatStartedAfterIt) {
  TFormMain& form = Start();
  ASSERT_TRUE(std::filesystem::remove(socket_));
  ui::Window newerWindow(app_, ui::Size{10, 10});
  std::vector<std::uint32_t> reached;
  newerWindow.OnMessage = [&](ui::Window&, const ui::Message& m) { reached.push_back(m.id); };
  MessageServer newer(newerWindow.Handle());
  ASSERT_EQ(newer.Listen(socket_), MessageServer::ListenResult::Listening);

  // The older window exits as the program does: the window closes, then its server goes.
  ASSERT_EQ(form.TrayIcon1().Menu()[4].caption, "Exit");
  form.TrayIcon1().InputMenuChoice(4);
  ASSERT_TRUE(form.Closed());
  server_.reset();
  ASSERT_TRUE(std::filesystem::exists(socket_)) << "the older window removed the newer's socket";

  std::ostringstream err;
  EXPECT_EQ(app::ctl::SendWindowMessage(socket_, kRestoreMessage, err), app::ctl::kExitDone)
      << err.str();
  EXPECT_TRUE(Serve([&] { return !reached.empty(); })) << "the restore never reached the newer";
  EXPECT_EQ(reached, std::vector<std::uint32_t>{kRestoreMessage});
  MessageServer third(newerWindow.Handle());
  EXPECT_EQ(third.Listen(socket_), MessageServer::ListenResult::AlreadyRunning);
  EXPECT_LT(longestTurn_, kLongestHold);
}

// Hostile skin pictures, each in place of the monitor page's background (decoded ahead while
// the window is built) and one in place of a background first drawn long after start-up: the
// window ends with "**** Read UI FAIL! ****" and names the file, never draws half a picture.
TEST_F(WindowMatrix, HostileSkinPicturesEndTheWindowNamingTheFile) {
  const testing_support::TempFolder program;
  std::filesystem::copy(
      BinFolder() / "Skin", program / "Skin",
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::create_hard_links);
  programFolder_ = program.Path();
  const auto replace = [&](const std::string& file, const std::string& bytes) {
    const std::filesystem::path picture = program / "Skin" / "Eng" / file;
    std::filesystem::remove(picture);  // a hard link to the build's own skin
    testing_support::WriteFile(picture, bytes);
    return picture;
  };
  std::size_t fails = 0;  // "**** Read UI FAIL! ****" shown so far, once a window
  const auto failsShown = [&] {
    const auto all = Messages();
    return static_cast<std::size_t>(std::count(all.begin(), all.end(), "**** Read UI FAIL! ****"));
  };
  const auto ended = [&](const std::string& row, const std::filesystem::path& picture) {
    EXPECT_TRUE(RunUntil([&] { return failsShown() > fails && form_->Closed(); }))
        << row << ": the window went on";
    ++fails;
    EXPECT_EQ(failsShown(), fails) << row << ": said once";
    const std::string named = "\"" + picture.string() + "\"";
    EXPECT_TRUE(
        std::any_of(skinProblems_.begin(), skinProblems_.end(),
                    [&](const std::string& why) { return why.find(named) != std::string::npos; }))
        << row << ": " << ::testing::PrintToString(skinProblems_);
    form_.reset();
    bus_.reset();
    app_.Bitmaps().Clear();
    skinProblems_.clear();
  };
  const std::string sound =
      testing_support::ReadFile(BinFolder() / "Skin" / "Eng" / "Manager_BK.bmp");
  for (const auto& [name, bytes] : testing_support::HostileBitmaps()) {
    const auto picture = replace("Manager_BK.bmp", bytes);
    Create();
    std::cout << "  Manager_BK.bmp " << name << "\n";
    ended("Manager_BK.bmp " + name, picture);
  }
  replace("Manager_BK.bmp", sound);

  // Drawn first when the fan group of the alarm page is shown, minutes after start-up.
  const auto late = replace("Alarm-FanSpeed.bmp", testing_support::HostileBitmaps().front().bytes);
  TFormMain& form = Create();
  ASSERT_TRUE(RunUntil([&] { return form.Started(); }));
  Click(form.Bar()->Tab(Page::kAlarm));
  loop_.AdvanceBy(std::chrono::milliseconds(3000));
  EXPECT_EQ(failsShown(), fails);
  Click(*form.AlarmPage()->Button("FanSpeed"));
  ui::RenderWindow(form.Window());
  ended("Alarm-FanSpeed.bmp drawn late", late);
}

}  // namespace
}  // namespace mainwindow::testing
