#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/ctl/run_ctl.h"
#include "app/ctl/status_snapshot.h"
#include "device/device_discovery.h"
#include "device/recording_sleeper.h"
#include "sim/simulated_bus.h"

namespace app::ctl {
namespace {

struct Result {
  int code;
  std::string out, err;
};

// quelta-ctl in this process, on the simulator at model time 0, without real pauses, with
// its lock file and every file it writes in a fresh directory.
struct CtlRig {
  static std::filesystem::path MakeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quelta-ctl-XXXXXX").string();
    return mkdtemp(pattern.data());
  }
  ~CtlRig() { std::filesystem::remove_all(dir); }

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

  const std::filesystem::path dir = MakeDir();
  int files = 0;
  device::RecordingSleeper sleeper;
  CtlHost host{dir, sleeper, [] { return 0.0; }, {}};
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
      {{"--simulate", "fan", "psu", "nan", "40"}, "VOLTS must be a decimal number"},
      {{"--simulate", "fan", "psu", "6", "80"}, "TEMP must be between 25 and 74"},
      {{"--simulate", "fan", "system", "6", "40", "5"}, "SENSOR must be 0..4"},
      {{"--simulate", "fan", "system", "6", "40"}, "usage: quelta-ctl fan"},
      {{"--simulate=/nonexistent/s.json", "status"}, "/nonexistent/s.json"},
      {{"--simulate", "--trace=/nonexistent/t.txt", "status"}, "/nonexistent/t.txt"},
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

TEST(QueltaCtl, StatusJsonNeverPrintsMoreThanNineSignificantDigits) {
  CtlRig rig;
  const Result result = rig.Run({"--simulate", "status", "--json"});
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
