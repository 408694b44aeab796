#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/ctl/run_ctl.h"
#include "device/recording_sleeper.h"
#include "support/deadline.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

struct Result {
  int code;
  std::string out, err;
};

// quelta-ctl in this process on the simulator, with no report pauses and its lock file and
// settings file in a fresh folder.
struct Rig {
  Result Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    int code = 0;
    {
      // A watch ends only on the worker's removal hand-over; a run that never ends fails here.
      const testing_support::Deadline deadline(std::chrono::seconds(60),
                                               "the end of quelta-ctl " + args.back());
      code = RunCtl(args, out, err, host);
    }
    return {code, out.str(), err.str()};
  }
  std::string Scenario(const std::string& json) {
    const auto path = dir / "scenario.json";
    std::ofstream(path) << json;
    return "--simulate=" + path.string();
  }
  std::string Registry(const std::string& text) {
    const auto path = dir / "registry.reg";
    std::ofstream(path, std::ios::binary) << text;
    return "--registry=" + path.string();
  }

  testing_support::TempFolder scratch;
  const std::filesystem::path dir = scratch.Path();
  device::RecordingSleeper sleeper;
  CtlHost host{dir, sleeper, [] { return 0.0; }, {}};
};

std::vector<nlohmann::json> JsonLines(const std::string& text) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

std::vector<std::string> Events(const std::vector<nlohmann::json>& lines) {
  std::vector<std::string> events;
  for (const auto& line : lines) events.push_back(line.at("event"));
  return events;
}

TEST(QueltaCtlWatch, PrintsEveryHandOverOfTheCountedCyclesThenTheRemoval) {
  Rig rig;
  const Result result =
      rig.Run({"--simulate", "watch", "--cycles", "2", "--interval", "0", "--json"});
  ASSERT_EQ(result.code, 0) << result.err;
  const auto lines = JsonLines(result.out);
  const std::vector<std::string> poll{"VoltagesReady", "CurrentsReady", "WattReady",
                                      "FansReady",     "TempsReady",    "CycleComplete"};
  std::vector<std::string> expected{"PowerRatingReady"};
  for (int cycle = 0; cycle < 2; ++cycle) expected.insert(expected.end(), poll.begin(), poll.end());
  expected.push_back("ConnectionRemoved");
  EXPECT_EQ(Events(lines), expected);

  EXPECT_EQ(lines[0].at("PowerRating"), 550);
  // Each hand-over carries exactly the readings of its group.
  EXPECT_EQ(lines[1].size(), 9u);  // event + eight voltages
  EXPECT_TRUE(lines[1].contains("VolNeg12V"));
  EXPECT_EQ(lines[2].size(), 7u);  // event + six currents
  EXPECT_GT(lines[3].at("WattTotal").get<double>(), 0.0);
  EXPECT_EQ(lines[5].size(), 6u);  // event + five temperatures
  EXPECT_EQ(lines[6].size(), 1u);
}

TEST(QueltaCtlWatch, AFailingTemperatureGroupNeverCompletesButTheWattComesEveryCycle) {
  Rig rig;
  const Result result = rig.Run({rig.Scenario(R"({"monitor": {"replies": {"05": null}}})"), "watch",
                                 "--cycles", "3", "--interval", "0", "--json"});
  ASSERT_EQ(result.code, 0) << result.err;
  const auto events = Events(JsonLines(result.out));
  EXPECT_EQ(std::count(events.begin(), events.end(), "WattReady"), 3);
  EXPECT_EQ(std::count(events.begin(), events.end(), "TempsReady"), 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), "CycleComplete"), 0);
  EXPECT_EQ(events.back(), "ConnectionRemoved");
}

TEST(QueltaCtlWatch, PollsOfAnUnpluggedDeviceAreNoCyclesAndEndTheWatch) {
  Rig rig;
  // Start-up takes 8 reports and a poll 12: the device vanishes after the first poll.
  const Result result = rig.Run({rig.Scenario(R"({"monitor": {"unplug_after": 20}})"), "watch",
                                 "--cycles", "3", "--interval", "0", "--json"});
  EXPECT_EQ(result.code, 3);
  EXPECT_EQ(result.err, "quelta-ctl: the PSU controller was removed\n");
  EXPECT_EQ(
      Events(JsonLines(result.out)),
      (std::vector<std::string>{"PowerRatingReady", "VoltagesReady", "CurrentsReady", "WattReady",
                                "FansReady", "TempsReady", "CycleComplete", "ConnectionRemoved"}));
}

TEST(QueltaCtlWatch, EndsWithTheRightCodeWhenTheDeviceCannotServe) {
  Rig rig;
  const Result absent = rig.Run({rig.Scenario(R"({"monitor": {"present": false}})"), "watch"});
  EXPECT_EQ(absent.code, 2);
  const Result noReference = rig.Run(
      {rig.Scenario(R"({"monitor": {"replies": {"00": null}}})"), "watch", "--interval", "0"});
  EXPECT_EQ(noReference.code, 3);
  EXPECT_EQ(noReference.out, "");
  const Result noRating =
      rig.Run({rig.Scenario(R"({"monitor": {"replies": {"11": null}}})"), "watch", "--json"});
  EXPECT_EQ(noRating.code, 3);
  EXPECT_EQ(noRating.out, "{\"event\":\"PowerRatingReady\",\"PowerRating\":0}\n");
  EXPECT_NE(noRating.err.find("***** Unsupport Power Type *****"), std::string::npos);
  for (const auto& bad :
       std::vector<std::vector<std::string>>{{"--simulate", "watch", "--cycles", "0"},
                                             {"--simulate", "watch", "--interval", "-5"},
                                             {"--simulate", "watch", "--cycles"},
                                             {"--simulate", "watch", "--every", "3"}}) {
    EXPECT_EQ(rig.Run(bad).code, 1) << bad.back();
  }
}

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\r\n\r\n";

TEST(QueltaCtlSettings, ReadsTheGivenFileAndExitsFourOnItsErrors) {
  Rig rig;
  const std::string tree = std::string(kHeader) +
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]\r\n"
                           "\"12V\"=\"12.10\"\r\n\"5V\"=\"5.00\"\r\n\"33V\"=\"3.30\"\r\n";
  const Result shown = rig.Run({rig.Registry(tree), "config", "show", "--json"});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(nlohmann::json::parse(shown.out).at("Voltage").at("12V"), "12.10");

  const Result strict = rig.Run(
      {rig.Registry(std::string(kHeader) +
                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan]\r\n"
                    "\"Mode\"=\"fast\"\r\n"),
       "config", "show"});
  EXPECT_EQ(strict.code, 4);
  EXPECT_NE(strict.err.find("'fast' is not a valid integer value"), std::string::npos)
      << strict.err;

  const Result malformed = rig.Run(
      {rig.Registry(std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\X\r\n"), "alarms", "show"});
  EXPECT_EQ(malformed.code, 4);
  EXPECT_NE(malformed.err.find("line 3"), std::string::npos) << malformed.err;

  EXPECT_EQ(rig.Run({"--registry", (rig.dir / "missing.reg").string(), "config", "show"}).code, 4);
  EXPECT_EQ(rig.Run({"config"}).code, 1);
  EXPECT_EQ(rig.Run({"alarms", "show", "--xml"}).code, 1);
}

}  // namespace
}  // namespace app::ctl
