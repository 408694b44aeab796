#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/ctl/ctl_options.h"
#include "app/ctl/run_ctl.h"
#include "app/ctl/status_snapshot.h"
#include "device/device_discovery.h"
#include "device/recording_sleeper.h"
#include "sim/simulated_bus.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

struct Result {
  int code;
  std::string out, err;
};

// quelta-ctl in this process, on the simulator at model time 0, without real pauses, with
// its lock file and every file it writes in a fresh directory.
struct CtlRig {
  Result Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunCtl(args, out, err, host);
    return {code, out.str(), err.str()};
  }
  // A scenario file and the option that selects it.
  std::string Scenario(const std::string& json) {
    const auto path = dir / ("scenario" + std::to_string(++files) + ".json");
    std::ofstream(path) << json;
    return "--simulate=" + path.string();
  }
  std::string TraceOption() const { return "--trace=" + (dir / "trace.txt").string(); }
  // The trace without its time stamps.
  std::vector<std::string> Trace() const {
    std::ifstream file(dir / "trace.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
      lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
  }

  testing_support::TempFolder scratch;
  const std::filesystem::path dir = scratch.Path();
  int files = 0;
  device::RecordingSleeper sleeper;
  // The simulator's model time; it stands still unless a test makes it move.
  std::function<double()> clock = [] { return 0.0; };
  CtlHost host{dir, sleeper, [this] { return clock(); }, {}};
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// True when every report line lies between a LOCK and its UNLOCK.
bool ExchangesAreLocked(const std::vector<std::string>& trace) {
  bool held = false;
  for (const std::string& line : trace) {
    if (line == "LOCK") {
      if (held) return false;
      held = true;
    } else if (line == "UNLOCK") {
      if (!held) return false;
      held = false;
    } else if (line.rfind("M ", 0) == 0 && !held) {
      return false;
    }
  }
  return !held;
}

TEST(QueltaCtl, BadUsageExitsOneAndSaysWhatWasWrong) {
  CtlRig rig;
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no command"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"--bogus", "status"}, "unknown option --bogus"},
      {{"--simulate", "--trace"}, "--trace needs a file name"},
      {{"--simulate", "list", "extra"}, "usage: quelta-ctl list"},
      {{"--simulate", "status", "--xml"}, "--json"},
      {{"--simulate", "led", "blue"}, "on or off"},
      {{"--simulate", "trim", "9v", "9"}, "12v, 5v or 3.3v"},
      {{"--simulate", "trim", "12v", "twelve"}, "VOLTS must be a decimal number"},
      {{"--simulate", "trim", "12v", "1e400"}, "VOLTS must be a decimal number"},
      {{"--simulate", "trim", "12v", "14"}, "between 10.80 and 13.20"},
      {{"--simulate", "fan", "psu", "13", "40"}, "VOLTS must be between 4.0 and 12.0"},
      {{"--simulate", "fan", "psu", "12.1", "40"}, "VOLTS must be between 4.0 and 12.0"},
      {{"--simulate", "fan", "psu", "3.9", "40"}, "VOLTS must be between 4.0 and 12.0"},
      {{"--simulate", "fan", "system", "3.9", "40", "0"}, "VOLTS must be between 4.0 and 12.0"},
      {{"--simulate", "fan", "psu", "nan", "40"}, "VOLTS must be a decimal number"},
      {{"--simulate", "fan", "psu", "6", "80"}, "TEMP must be between 25 and 74"},
      {{"--simulate", "fan", "system", "6", "40", "5"}, "SENSOR must be 0..4"},
      {{"--simulate", "fan", "system", "6", "40"}, "usage: quelta-ctl fan"},
      {{"--simulate=/nonexistent/s.json", "status"}, "/nonexistent/s.json"},
      {{"--simulate", "--trace=/nonexistent/t.txt", "status"}, "/nonexistent/t.txt"},
      {{"--simulate", "status", "--lock-wait"}, "--lock-wait needs a number of seconds"},
      {{"--simulate", "--lock-wait=", "status"}, "--lock-wait needs a number of seconds"},
      {{"--simulate", "--lock-wait", "-0.001", "status"}, "between 0 and 86400 seconds"},
      {{"--simulate", "--lock-wait", "86400.01", "status"}, "between 0 and 86400 seconds"},
      {{"--simulate", "--lock-wait", "ten", "status"}, "--lock-wait must be a decimal number"},
      {{"--simulate", "--lock-wait", "inf", "status"}, "--lock-wait must be a decimal number"},
  };
  for (const auto& [args, message] : cases) {
    const Result result = rig.Run(args);
    EXPECT_EQ(result.code, 1) << args.size();
    EXPECT_TRUE(Contains(result.err, message)) << result.err;
    EXPECT_EQ(result.out, "");
  }
  const Result bad = rig.Run({rig.Scenario(R"({"monitor": {"rating": 999}})"), "status"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_TRUE(Contains(bad.err, "monitor.rating")) << bad.err;

  const Result help = rig.Run({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const char* command : {"list", "probe", "status", "led", "fan", "trim"})
    EXPECT_TRUE(Contains(help.out, std::string("\n  ") + command)) << command;
}

TEST(QueltaCtl, StatusJsonNamesEveryReadingAndItsFloatsReadBackExactly) {
  CtlRig rig;
  const Result result = rig.Run({"--simulate", "status", "--json"});
  ASSERT_EQ(result.code, 0) << result.err;
  const nlohmann::ordered_json json = nlohmann::ordered_json::parse(result.out);

  // The same reads on an identical simulator, straight through the device layer.
  sim::SimulatedBus bus;
  auto read = device::OpenMonitorDevice(bus);
  auto write = device::OpenMonitorDevice(bus);
  device::RecordingSleeper sleeper;
  device::ReadingSet readings;
  device::CalibrationTable calibration;
  device::MonitorProtocol protocol(*write, *read, sleeper, readings, calibration);
  const StatusSnapshot expected = ReadStatusSnapshot(protocol);
  const device::ReadingSet& r = expected.readings;

  const std::vector<std::pair<std::string, float>> fields{{"ReferenceVoltage", r.ReferenceVoltage},
                                                          {"Vol5V", r.Vol5V},
                                                          {"Vol33V", r.Vol33V},
                                                          {"Vol5Vsb", r.Vol5Vsb},
                                                          {"Vol12V4", r.Vol12V4},
                                                          {"Vol12V1", r.Vol12V1},
                                                          {"Vol12V2", r.Vol12V2},
                                                          {"Vol12V3", r.Vol12V3},
                                                          {"VolNeg12V", r.VolNeg12V},
                                                          {"Cur5V", r.Cur5V},
                                                          {"Cur33V", r.Cur33V},
                                                          {"Cur12V1", r.Cur12V1},
                                                          {"Cur12V2", r.Cur12V2},
                                                          {"Cur12V3", r.Cur12V3},
                                                          {"Cur12V4", r.Cur12V4},
                                                          {"TempT1", r.TempT1},
                                                          {"TempT2", r.TempT2},
                                                          {"TempT3", r.TempT3},
                                                          {"TempT4", r.TempT4},
                                                          {"TempPSU", r.TempPSU},
                                                          {"FanPSU", r.FanPSU},
                                                          {"FanSystem", r.FanSystem},
                                                          {"WattTotal", r.WattTotal}};
  std::vector<std::string> keys;
  for (const auto& [key, value] : json.items()) keys.push_back(key);
  std::vector<std::string> expectedKeys;
  for (const auto& [name, value] : fields) expectedKeys.push_back(name);
  for (const char* extra : {"PowerRating", "Calibration", "groups"}) expectedKeys.push_back(extra);
  EXPECT_EQ(keys, expectedKeys);

  for (const auto& [name, value] : fields)
    EXPECT_EQ(static_cast<float>(json[name].get<double>()), value) << name;
  EXPECT_TRUE(Contains(result.out, "\"ReferenceVoltage\": 3.29999995"));
  EXPECT_EQ(json["PowerRating"], 550);
  ASSERT_EQ(json["Calibration"].size(), 6u);
  for (std::size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(static_cast<float>(json["Calibration"][k]["Offset"].get<double>()),
              expected.calibration.channels[k].Offset);
    EXPECT_EQ(static_cast<float>(json["Calibration"][k]["Gain"].get<double>()),
              expected.calibration.channels[k].Gain);
  }
  EXPECT_EQ(json["groups"].dump(),
            R"({"Reference":true,"Calibration":true,"PowerRating":true,"Voltages":true,)"
            R"("Currents":true,"Fans":true,"SensorTemps":true,"PsuTemp":true})");
}

// Each group that can fail alone, failed alone: it is false and every other group true.
TEST(QueltaCtl, StatusJsonMarksOnlyTheGroupWhoseReplyFailed) {
  const std::pair<const char*, const char*> groups[] = {
      {"11", "PowerRating"}, {"12", "Calibration"}, {"13", "Calibration"},
      {"21", "Voltages"},    {"22", "Voltages"},    {"02", "Currents"},
      {"03", "Fans"},        {"04", "SensorTemps"}, {"05", "PsuTemp"}};
  const char* names[] = {"Reference", "Calibration", "PowerRating", "Voltages",
                         "Currents",  "Fans",        "SensorTemps", "PsuTemp"};
  CtlRig rig;
  for (const auto& [code, failed] : groups) {
    const Result run =
        rig.Run({rig.Scenario(std::string(R"({"monitor": {"replies": {")") + code + "\": null}}}"),
                 "status", "--json"});
    ASSERT_EQ(run.code, 0) << code << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["groups"].size(), std::size(names)) << code;
    for (const char* name : names) {
      EXPECT_EQ(json["groups"][name].get<bool>(), std::string(name) != failed)
          << "reply " << code << " cut short, group " << name;
    }
  }
}

TEST(QueltaCtl, StatusShowsFailedGroupsAndFailsOnlyWithoutAReference) {
  CtlRig rig;
  const std::string partial =
      rig.Scenario(R"({"monitor": {"replies": {"02": null, "03": "silent"}}})");
  const Result text = rig.Run({partial, "status"});
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_TRUE(Contains(text.out, "No good reply: currents, fans")) << text.out;
  EXPECT_TRUE(Contains(text.out, "Fans          PSU --")) << text.out;
  EXPECT_TRUE(Contains(text.out, "12V1")) << text.out;
  const auto json = nlohmann::json::parse(rig.Run({partial, "status", "--json"}).out);
  EXPECT_FALSE(json["groups"]["Currents"]);
  EXPECT_FALSE(json["groups"]["Fans"]);
  EXPECT_TRUE(json["groups"]["Voltages"]);

  // A silent device: the read times out, the command gives up and the lock is released.
  const Result silent = rig.Run({rig.Scenario(R"({"monitor": {"replies": {"00": "silent"}}})"),
                                 rig.TraceOption(), "status", "--json"});
  EXPECT_EQ(silent.code, 3);
  EXPECT_TRUE(Contains(silent.err, "reference read failed"));
  EXPECT_EQ(silent.out, "");
  EXPECT_EQ(rig.Trace(),
            (std::vector<std::string>{"LOCK", "M W 6 00 00 01 01 01 01", "M R 0", "UNLOCK"}));
}

// The alarm keys of a settings file: power and the system fan set to be crossed by the
// simulated PSU (about 300 W, the system fan near 800 rpm), T2 (about 34 C) too; the 12 V
// threshold stored below nominal.
std::string AlarmTree(const char* wattEnable) {
  const std::string root = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm";
  return "Windows Registry Editor Version 5.00\n\n" + root + "]\n\n" + root +
         "\\Watt]\n\"Watt\"=\"100.00\"\n\"WattEnable\"=\"" + wattEnable + "\"\n\n" + root +
         "\\Voltage]\n\"12V\"=\"11.40\"\n\"5V\"=\"5.25\"\n\"33V\"=\"3.46\"\n"
         "\"12VEnable\"=\"1\"\n\"5VEnable\"=\"1\"\n\"33VEnable\"=\"1\"\n\n" +
         root +
         "\\FanSpeed]\n\"PSUFan\"=\"500.00\"\n\"SystemFan\"=\"1000.00\"\n"
         "\"PSUFanEnable\"=\"1\"\n\"SystemFanEnable\"=\"1\"\n\n" +
         root +
         "\\Temperature]\n\"PSU\"=\"90.00\"\n\"T1\"=\"55.00\"\n\"T2\"=\"30.00\"\n"
         "\"T3\"=\"55.00\"\n\"T4\"=\"55.00\"\n\"PSUEnable\"=\"1\"\n\"T1Enable\"=\"1\"\n"
         "\"T2Enable\"=\"1\"\n\"T3Enable\"=\"1\"\n\"T4Enable\"=\"1\"\n";
}

TEST(QueltaCtl, AlarmsCheckNamesEveryRowAndExitsSixWhenAnyIsInAlarm) {
  CtlRig rig;
  const auto file = rig.dir / "alarms.reg";
  std::ofstream(file) << AlarmTree("1");
  const std::string sim = rig.Scenario(R"({"monitor": {"noise": false}})");
  const Result json = rig.Run({sim, "--registry", file.string(), "alarms", "check", "--json"});
  EXPECT_EQ(json.code, 6) << json.err;
  EXPECT_EQ(json.out,
            "{\"any\":true,\"alarms\":{\"Watt\":true,\"PSUFan\":false,\"SystemFan\":true,"
            "\"5V\":false,\"33V\":false,\"12V1\":false,\"12V2\":false,\"12V3\":false,"
            "\"12V4\":false,\"Cur5V\":false,\"Cur33V\":false,\"Cur12V1\":false,"
            "\"Cur12V2\":false,\"Cur12V3\":false,\"Cur12V4\":false,\"TempPSU\":false,"
            "\"T1\":false,\"T2\":true,\"T3\":false,\"T4\":false}}\n");
  const Result text = rig.Run({sim, "--registry", file.string(), "alarms", "check"});
  EXPECT_EQ(text.code, 6);
  EXPECT_TRUE(Contains(text.out, "ALARM")) << text.out;
  EXPECT_TRUE(Contains(text.out, "12V4")) << text.out;

  // Muted power and no other row over: nothing in alarm, exit 0.
  std::string quiet = AlarmTree("0");
  quiet.replace(quiet.find("\"T2\"=\"30.00\""), 12, "\"T2\"=\"80.00\"");
  quiet.replace(quiet.find("\"SystemFan\"=\"1000.00\""), 21, "\"SystemFan\"=\"100.00\"");
  std::ofstream(file) << quiet;
  const Result none = rig.Run({sim, "--registry", file.string(), "alarms", "check", "--json"});
  EXPECT_EQ(none.code, 0) << none.err;
  EXPECT_TRUE(Contains(none.out, "{\"any\":false,\"alarms\":{\"Watt\":false,")) << none.out;

  // Without every reading there is nothing to judge.
  const Result partial = rig.Run({rig.Scenario(R"({"monitor": {"replies": {"03": "silent"}}})"),
                                  "--registry", file.string(), "alarms", "check"});
  EXPECT_EQ(partial.code, 3);
  EXPECT_EQ(partial.out, "");

  // A threshold stored as another type than text is a settings error for both judging
  // commands, before the device is touched.
  std::string typed = AlarmTree("1");
  typed.replace(typed.find("\"T2\"=\"30.00\""), 12, "\"T2\"=dword:0000001e");
  std::ofstream(file) << typed;
  for (const char* command : {"alarms", "gauge"}) {
    std::vector<std::string> words = {sim, "--registry", file.string(), command};
    if (std::string(command) == "alarms") words.push_back("check");
    const Result refused = rig.Run(words);
    EXPECT_EQ(refused.code, 4) << command << ": " << refused.err;
    EXPECT_EQ(refused.out, "") << command;
  }
}

TEST(QueltaCtl, MetricsShowTheStoredAlarmsJudgedAndAFailedPollAsZeroWithItsExitCode) {
  CtlRig rig;
  const auto file = rig.dir / "alarms.reg";
  std::ofstream(file) << AlarmTree("1");
  const std::string sim = rig.Scenario(R"({"monitor": {"noise": false}})");
  const Result judged = rig.Run({sim, "--registry", file.string(), "metrics"});
  EXPECT_EQ(judged.code, 0) << judged.err;
  for (const char* line : {"quelta_alarm{row=\"Watt\"} 1\n", "quelta_alarm{row=\"SystemFan\"} 1\n",
                           "quelta_alarm{row=\"T2\"} 1\n", "quelta_alarm{row=\"PSUFan\"} 0\n",
                           "quelta_alarm{row=\"12V4\"} 0\n", "quelta_poll_success 1\n",
                           "quelta_power_rating_watts 550\n"}) {
    EXPECT_TRUE(Contains(judged.out, line)) << line << judged.out;
  }
  EXPECT_TRUE(judged.out.ends_with("# EOF\n")) << judged.out;

  // A group that did not answer: the file still comes, says the poll failed and judges no
  // alarm, and the exit code tells the collector's script.
  const Result failed = rig.Run({rig.Scenario(R"({"monitor": {"replies": {"03": "silent"}}})"),
                                 "--registry", file.string(), "metrics"});
  EXPECT_EQ(failed.code, 3);
  EXPECT_TRUE(Contains(failed.out, "quelta_poll_success 0\n")) << failed.out;
  EXPECT_FALSE(Contains(failed.out, "quelta_alarm{row=\"Watt\"} 1")) << failed.out;
  EXPECT_TRUE(failed.out.ends_with("# EOF\n")) << failed.out;
  EXPECT_EQ(failed.err, "quelta-ctl: the PSU controller did not answer every reading\n");
}

TEST(QueltaCtl, TheLockWaitIsTenSecondsUnlessGiven) {
  EXPECT_EQ(CtlOptions{}.lockWait, std::chrono::milliseconds(10000));
  EXPECT_EQ(ParseCtlOptions({"status"}).lockWait, std::chrono::milliseconds(10000));
  EXPECT_EQ(ParseCtlOptions({"--lock-wait", "0.25", "status"}).lockWait,
            std::chrono::milliseconds(250));
  EXPECT_EQ(ParseCtlOptions({"--lock-wait", "0", "status"}).lockWait, std::chrono::milliseconds(0));
  EXPECT_EQ(ParseCtlOptions({"status", "--lock-wait=86400"}).lockWait,
            std::chrono::milliseconds(86400000));
}

TEST(QueltaCtl, WithoutTheDeviceEveryDeviceCommandExitsTwo) {
  CtlRig rig;
  const std::string absent = rig.Scenario(R"({"monitor": {"present": false}})");
  for (const std::vector<std::string>& command : {std::vector<std::string>{"status"},
                                                  {"probe"},
                                                  {"led", "on"},
                                                  {"fan", "psu", "6", "40"},
                                                  {"trim", "5v", "5.1"}}) {
    std::vector<std::string> args{absent};
    args.insert(args.end(), command.begin(), command.end());
    const Result result = rig.Run(args);
    EXPECT_EQ(result.code, 2) << command[0];
    EXPECT_TRUE(Contains(result.err, "VID_1044&PID_4001")) << result.err;
  }
  const Result list = rig.Run({absent, "list"});
  EXPECT_EQ(list.code, 0);
  EXPECT_TRUE(Contains(list.out, "PSU controller  VID_1044&PID_4001  absent")) << list.out;
  EXPECT_TRUE(Contains(list.out, "Gauge panel     VID_1044&PID_4100  present")) << list.out;
}

TEST(QueltaCtl, ProbePrintsTheRatingAloneAsTheMainWindowWouldSeeIt) {
  CtlRig rig;
  EXPECT_EQ(rig.Run({"--simulate", "probe"}).out, "550\n");
  EXPECT_EQ(rig.Run({rig.Scenario(R"({"monitor": {"rating": 800}})"), "probe"}).out, "800\n");
  const Result unknown = rig.Run(
      {rig.Scenario(R"({"monitor": {"replies": {"11": "50 00 00 00 00 00 00 00"}}})"), "probe"});
  EXPECT_EQ(unknown.code, 0);
  EXPECT_EQ(unknown.out, "0\n");
  const Result shortReply =
      rig.Run({rig.Scenario(R"({"monitor": {"replies": {"11": null}}})"), "probe"});
  EXPECT_EQ(shortReply.code, 3);
  EXPECT_EQ(shortReply.out, "0\n");
}

TEST(QueltaCtl, CommandsSendTheirReportsUnderTheAccessLock) {
  CtlRig rig;
  const std::string trace = rig.TraceOption();
  ASSERT_EQ(rig.Run({"--simulate", trace, "led", "off"}).code, 0);
  ASSERT_EQ(rig.Run({"--simulate", trace, "fan", "system", "6.0", "45.9", "2"}).code, 0);
  const Result psuFan = rig.Run({"--simulate", trace, "fan", "psu", "12", "74"});
  EXPECT_EQ(psuFan.out, "PSU fan curve: start 12.0 V (code 186), rising from 74 C\n");
  ASSERT_EQ(rig.Run({"--simulate", trace, "status"}).code, 0);
  ASSERT_EQ(rig.Run({"--simulate", trace, "probe"}).code, 0);
  const std::vector<std::string> lines = rig.Trace();
  EXPECT_TRUE(ExchangesAreLocked(lines));
  const auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("M W 6 00 0B 01 00 00 00"));
  EXPECT_TRUE(has("M W 6 00 0A 5D 2D A4 01"));  // code 93, 45 degrees, sensor T2
  EXPECT_TRUE(has("M W 6 00 09 BA 4A A0 01"));
  // The lowest start voltage and temperature: 4.0 x 256 / (5 x 3.3) = 62.06, so code 62.
  const Result lowest = rig.Run({"--simulate", trace, "fan", "psu", "4.0", "25"});
  EXPECT_EQ(lowest.code, 0) << lowest.err;
  EXPECT_EQ(lowest.out, "PSU fan curve: start 4.0 V (code 62), rising from 25 C\n");
  const std::vector<std::string> after = rig.Trace();
  EXPECT_NE(std::find(after.begin() + static_cast<std::ptrdiff_t>(lines.size()), after.end(),
                      "M W 6 00 09 3E 19 A0 01"),
            after.end());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "LOCK"), 5);
}

TEST(QueltaCtl, TrimStepsOneRailToTheTargetAndNeverBlind) {
  CtlRig rig;
  const std::string trace = rig.TraceOption();
  const std::string quiet = rig.Scenario(R"({"monitor": {"noise": false}})");
  const Result trim = rig.Run({quiet, trace, "trim", "12v", "12.1"});
  ASSERT_EQ(trim.code, 0) << trim.err;
  const std::vector<std::string> lines = rig.Trace();
  const auto up = std::count(lines.begin(), lines.end(), "M W 6 00 07 10 00 00 00");
  EXPECT_GT(up, 0);
  EXPECT_TRUE(Contains(trim.out, "in " + std::to_string(up) + " steps (target 12.1 V)"))
      << trim.out;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "M W 6 00 07 01 00 00 00"), 0);
  for (const std::string& line : lines)
    EXPECT_FALSE(Contains(line, " 00 06 ") || Contains(line, " 00 08 "));

  // Reference and voltages take 6 reports, each step 6 more: the device vanishes after the
  // fourth step, the fifth goes nowhere and its failed read ends the trim.
  std::filesystem::remove(rig.dir / "trace.txt");
  const Result lost =
      rig.Run({rig.Scenario(R"({"monitor": {"unplug_after": 30}})"), trace, "trim", "12v", "13"});
  EXPECT_EQ(lost.code, 3);
  EXPECT_TRUE(Contains(lost.err, "could not be read after step 5")) << lost.err;
  const std::vector<std::string> lostLines = rig.Trace();
  EXPECT_EQ(std::count_if(lostLines.begin(), lostLines.end(),
                          [](const std::string& l) {
                            return l.rfind("M W ", 0) == 0 && Contains(l, " 00 07 10 ");
                          }),
            5);

  const std::string noSecond = rig.Scenario(R"({"monitor": {"replies": {"22": null}}})");
  const Result unread = rig.Run({noSecond, "trim", "12v", "12.1"});
  EXPECT_EQ(unread.code, 3);
  EXPECT_TRUE(Contains(unread.err, "could not read the voltages"));
  EXPECT_EQ(rig.Run({noSecond, "trim", "5v", "5.1"}).code, 0);  // 5 V is fed back by 0x21
}

// Every group of the status with a fixed reply, the same replies as words for a scenario.
constexpr const char* kFixedReplies = R"("replies": {
    "00": "80 00 00 00 00 00 00 00", "12": "FF FF FF FF FF FF 00 00",
    "13": "FF FF FF FF FF FF 00 00", "11": "80 00 00 00 00 00 00 00",
    "21": "C2 00 80 00 C0 80 BA 40", "22": "BB 00 BA 40 BB 40 94 00",
    "02": "19 0C 00 32 4B 64 00 7D", "03": "0A 00 14 00 00 00 00 00",
    "04": "1E 00 1F 00 20 00 21 00", "05": "28 00 00 00 00 00 00 00"})";

// The readings those replies give, worked out by hand: reference 1689.6 / 512; voltage
// words raw x 3.3 x 2 (or 5) / 1024; -12V from raw 592; currents byte / 6.25 (unprogrammed
// calibration); fans 60000 / (10 x 10.9226) and 60000 / (20 x 10.9226).
void ExpectFixedReadings(const nlohmann::json& json, bool currents) {
  const std::pair<const char*, double> fields[] = {{"ReferenceVoltage", 3.3},
                                                   {"Vol5V", 5.001563},
                                                   {"Vol33V", 3.3},
                                                   {"Vol5Vsb", 4.962891},
                                                   {"Vol12V4", 12.004395},
                                                   {"Vol12V1", 12.052734},
                                                   {"Vol12V2", 12.004395},
                                                   {"Vol12V3", 12.068848},
                                                   {"VolNeg12V", -12.014063},
                                                   {"TempT1", 30},
                                                   {"TempT2", 31},
                                                   {"TempT3", 32},
                                                   {"TempT4", 33},
                                                   {"TempPSU", 40},
                                                   {"FanPSU", 549.3197},
                                                   {"FanSystem", 274.6599}};
  for (const auto& [name, value] : fields)
    EXPECT_NEAR(json[name].get<double>(), value, 1e-3) << name;
  const std::pair<const char*, double> amps[] = {{"Cur5V", 4.0},    {"Cur33V", 1.92},
                                                 {"Cur12V1", 8.0},  {"Cur12V2", 12.0},
                                                 {"Cur12V3", 16.0}, {"Cur12V4", 20.0}};
  for (const auto& [name, value] : amps)
    EXPECT_NEAR(json[name].get<double>(), currents ? value : 0.0, 1e-4) << name;
  EXPECT_EQ(json["PowerRating"], 800);
  for (const char* group :
       {"Reference", "Calibration", "PowerRating", "Voltages", "Fans", "SensorTemps", "PsuTemp"}) {
    EXPECT_TRUE(json["groups"][group]) << group;
  }
  EXPECT_EQ(json["groups"]["Currents"], currents);
}

TEST(QueltaCtl, ReportsAlreadyWaitingOnTheReadHandleAreNeverTakenForReplies) {
  CtlRig rig;
  // Replies meant for another holder, piled up on every read handle the command opens.
  const std::string piled = rig.Scenario(std::string(R"({"monitor": {)") + kFixedReplies +
                                         R"(, "pending_input": ["19 00 28 00 00 00 63 00",
                                            "C2 00 80 00 C0 80 BA 40", "55 00 00 00 00 00 00 00"]}})");
  const Result status = rig.Run({piled, rig.TraceOption(), "status", "--json"});
  ASSERT_EQ(status.code, 0) << status.err;
  ExpectFixedReadings(nlohmann::json::parse(status.out), true);
  const std::vector<std::string> trace = rig.Trace();
  ASSERT_GE(trace.size(), 5u);
  EXPECT_EQ(trace[0], "LOCK");  // the handles are opened under the lock
  EXPECT_EQ(trace[1], "M D 9 00 19 00 28 00 00 00 63 00");
  EXPECT_EQ(trace[3], "M D 9 00 55 00 00 00 00 00 00 00");
  EXPECT_EQ(trace[4], "M W 6 00 00 01 01 01 01");

  // A trim fed back by a stale 3.3 V word would step the 12V output far past its target.
  const std::string quiet = rig.Scenario(R"({"monitor": {"noise": false}})");
  const std::string quietPiled = rig.Scenario(
      R"({"monitor": {"noise": false, "pending_input": ["C2 00 80 00 C0 80 BA 40",
          "C2 00 80 00 C0 80 BA 40", "C2 00 80 00 C0 80 BA 40"]}})");
  const Result clean = rig.Run({quiet, "trim", "12v", "12.3"});
  const Result trimmed = rig.Run({quietPiled, "trim", "12v", "12.3"});
  ASSERT_EQ(clean.code, 0) << clean.err;
  EXPECT_EQ(trimmed.code, 0) << trimmed.err;
  EXPECT_EQ(trimmed.out, clean.out);
}

TEST(QueltaCtl, ALateReplyFailsItsGroupAndNeverAnswersALaterRequest) {
  CtlRig rig;
  // Model time follows the pauses taken; the bus adds the read time-outs it waits.
  rig.clock = [&rig] { return static_cast<double>(rig.sleeper.Total().count()) / 1000.0; };
  // The currents request goes out after six exchanges (24 ms), its read gives up at 1026 ms.
  // 1005 ms late the reply comes at 1029 ms, between the fan reply and the temperature
  // request; 1500 ms late it comes after the whole status.
  for (const char* late : {"1005", "1500"}) {
    SCOPED_TRACE(late);
    const std::string scenario = rig.Scenario(std::string(R"({"monitor": {)") + kFixedReplies +
                                              R"(, "late": {"02": )" + late + "}}}");
    const Result status = rig.Run({scenario, "status", "--json"});
    ASSERT_EQ(status.code, 0) << status.err;
    ExpectFixedReadings(nlohmann::json::parse(status.out), false);
  }
}

TEST(QueltaCtl, AFanStartBeyondOneByteIsSentAsTheHighestCode) {
  CtlRig rig;
  // Raw reference 1023: 12 V is 12 x 256 / (5 x 1689.6 / 1023) = 372, more than a byte holds.
  const std::string low =
      rig.Scenario(R"({"monitor": {"replies": {"00": "FF C0 00 00 00 00 00 00"}}})");
  const Result fan = rig.Run({low, rig.TraceOption(), "fan", "psu", "12", "40"});
  EXPECT_EQ(fan.out, "PSU fan curve: start 12.0 V (code 255), rising from 40 C\n");
  const std::vector<std::string> lines = rig.Trace();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "M W 6 00 09 FF 28 A0 01"), lines.end());
}

}  // namespace
}  // namespace app::ctl

namespace app::ctl {
namespace {

// Power alarm above 1 W (switched by "WattEnable"), PSU fan alarm below 9000 rpm; no
// temperature key, so the PSU temperature alarm is off.
std::string GaugeAlarms(const char* wattEnable) {
  return std::string("Windows Registry Editor Version 5.00\r\n\r\n") +
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
         "\"Watt\"=\"1.00\"\r\n\"DefaultWatt\"=\"450.00\"\r\n\"WattEnable\"=\"" +
         wattEnable +
         "\"\r\n\r\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeed]\r\n"
         "\"PSUFan\"=\"9000.00\"\r\n\"SystemFan\"=\"500.00\"\r\n\"DefaultPSUFan\"=\"500.00\"\r\n"
         "\"DefaultSystemFan\"=\"500.00\"\r\n\"PSUFanEnable\"=\"1\"\r\n\"SystemFanEnable\"="
         "\"0\"\r\n";
}

TEST(QueltaCtlGauge, OnePollGivesOneReportWithTheStoredAlarms) {
  CtlRig rig;
  const auto file = rig.dir / "alarms.reg";
  std::ofstream(file, std::ios::binary) << GaugeAlarms("1");
  const std::string registry = "--registry=" + file.string();
  const Result gauge = rig.Run({"--simulate", rig.TraceOption(), registry, "gauge", "--json"});
  ASSERT_EQ(gauge.code, 0) << gauge.err;
  EXPECT_TRUE(std::regex_match(
      gauge.out, std::regex(R"(\{"present":true,"sent":true,"needles":\[)"
                            R"(\{"reading":[0-9.]+,"position":[0-9]+,"flags":224\},)"
                            R"(\{"reading":[0-9.]+,"position":[0-9]+,"flags":32\},)"
                            R"(\{"reading":[0-9.]+,"position":[0-9]+,"flags":224\}\]\}\n)")))
      << gauge.out;

  // The readings are those a status read at the same moment gives, and the one report on the
  // panel carries the printed positions.
  const nlohmann::json needles = nlohmann::json::parse(gauge.out).at("needles");
  const nlohmann::json status =
      nlohmann::json::parse(rig.Run({"--simulate", "status", "--json"}).out);
  EXPECT_EQ(needles[0].at("reading").get<float>(), status.at("WattTotal").get<float>());
  EXPECT_EQ(needles[1].at("reading").get<float>(), status.at("TempPSU").get<float>());
  EXPECT_EQ(needles[2].at("reading").get<float>(), status.at("FanPSU").get<float>());
  const std::vector<std::string> trace = rig.Trace();
  EXPECT_TRUE(ExchangesAreLocked(trace));
  std::vector<std::string> reports;
  for (const std::string& line : trace) {
    if (line.rfind("G ", 0) == 0) reports.push_back(line);
  }
  char expected[64];
  std::snprintf(expected, sizeof expected, "G W 9 00 00 83 E0 %02X 20 %02X E0 %02X",
                needles[0].at("position").get<int>(), needles[1].at("position").get<int>(),
                needles[2].at("position").get<int>());
  EXPECT_EQ(reports, std::vector<std::string>{expected});

  // With the power group switched off its needle carries no alarm.
  std::ofstream(file, std::ios::binary | std::ios::trunc) << GaugeAlarms("0");
  const Result muted = rig.Run({"--simulate", registry, "gauge", "--json"});
  EXPECT_EQ(nlohmann::json::parse(muted.out).at("needles")[0].at("flags"), 32);
  const Result table = rig.Run({"--simulate", registry, "gauge"});
  EXPECT_TRUE(Contains(table.out, "Panel: present, sent 00 00 83 20 ")) << table.out;
}

TEST(QueltaCtlGauge, WithoutThePanelTheFiguresArePrintedAndNothingIsSent) {
  CtlRig rig;
  const auto file = rig.dir / "alarms.reg";
  std::ofstream(file, std::ios::binary) << GaugeAlarms("1");
  const Result absent =
      rig.Run({rig.Scenario(R"({"gauge": {"present": false}})"), rig.TraceOption(),
               "--registry=" + file.string(), "gauge", "--json"});
  EXPECT_EQ(absent.code, 2);
  const nlohmann::json shown = nlohmann::json::parse(absent.out);
  EXPECT_EQ(shown.at("present"), false);
  EXPECT_EQ(shown.at("sent"), false);
  EXPECT_EQ(shown.at("needles").size(), 3u);
  for (const std::string& line : rig.Trace()) EXPECT_NE(line.rfind("G ", 0), 0u) << line;

  EXPECT_EQ(rig.Run({"--simulate", "--registry=" + file.string(), "gauge", "--all"}).code, 1);
}

TEST(QueltaCtl, StatusJsonNeverPrintsMoreThanNineSignificantDigits) {
  CtlRig rig;
  // These currents make floats whose nearest double has no short text: 6.80000019 for the 5 V
  // rail's 6.8000001907 (the 17-digit form is the double's, not the float's).
  const Result odd = rig.Run({rig.Scenario(R"({"monitor": {"replies": {
      "02": "6A 21 00 7A 78 7C 00 7A"}}})"),
                              "status", "--json"});
  ASSERT_EQ(odd.code, 0) << odd.err;
  EXPECT_TRUE(Contains(odd.out, "\n  \"Cur5V\": 6.80000019,\n")) << odd.out;
  for (const Result& result : {rig.Run({"--simulate", "status", "--json"}), odd}) {
    ASSERT_EQ(result.code, 0) << result.err;
    std::istringstream words(result.out);
    int numbers = 0;
    for (std::string word; words >> word;) {
      if (word.empty() || !(std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-')) {
        continue;
      }
      const std::string mantissa = word.substr(0, word.find_first_of("eE,"));
      std::string digits;
      for (char c : mantissa) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
      }
      digits.erase(0, digits.find_first_not_of('0'));
      // A whole number prints with ".0"; its trailing zeros are not significant.
      if (mantissa.find('.') != std::string::npos) digits.erase(digits.find_last_not_of('0') + 1);
      EXPECT_LE(digits.size(), 9u) << word;
      ++numbers;
    }
    EXPECT_GT(numbers, 30);
  }
}

TEST(QueltaCtl, TrimRefusesImpossibleReadingsAndStopsWhenTheReadingStandsStill) {
  CtlRig rig;
  const std::string trace = rig.TraceOption();
  const auto steps = [&rig] {
    const std::vector<std::string> lines = rig.Trace();
    return std::count_if(lines.begin(), lines.end(),
                         [](const std::string& l) { return l.rfind("M W 6 00 07 ", 0) == 0; });
  };
  // Voltage replies of all zeros: the 12 V rail reads 0 V.
  const Result zeros = rig.Run({rig.Scenario(R"({"monitor": {"replies": {
      "21": "00 00 00 00 00 00 00 00", "22": "00 00 00 00 00 00 00 00"}}})"),
                                trace, "trim", "12v", "12.1"});
  EXPECT_EQ(zeros.code, 3);
  EXPECT_EQ(zeros.err,
            "quelta-ctl: 12V reading 0.000 V is not within 10% of 12.0 V: not trimmed\n");
  EXPECT_EQ(steps(), 0);

  // A reference reply of FF FF: 1689.6 / 1023 = 1.652 V.
  std::filesystem::remove(rig.dir / "trace.txt");
  const Result reference =
      rig.Run({rig.Scenario(R"({"monitor": {"replies": {"00": "FF FF 00 00 00 00 00 00"}}})"),
               trace, "trim", "12v", "12.1"});
  EXPECT_EQ(reference.code, 3);
  EXPECT_EQ(reference.err,
            "quelta-ctl: reference reading 1.652 V is not within 2.5 V to 4.5 V: 12V not "
            "trimmed\n");
  EXPECT_EQ(steps(), 0);

  // The simulated converter goes 64 steps up and no further: three more steps that change
  // nothing, and the trim gives up short of 13.2 V.
  std::filesystem::remove(rig.dir / "trace.txt");
  const Result stuck =
      rig.Run({rig.Scenario(R"({"monitor": {"noise": false}})"), trace, "trim", "12v", "13.2"});
  EXPECT_EQ(stuck.code, 3);
  EXPECT_TRUE(Contains(stuck.err, "for three steps in a row: stopped after 67 steps")) << stuck.err;
  EXPECT_EQ(steps(), 67);
}

}  // namespace
}  // namespace app::ctl
