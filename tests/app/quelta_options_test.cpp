#include "app/quelta_options.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(QueltaOptions, TakesEveryOptionInEitherForm) {
  const QueltaOptions o =
      ParseQueltaOptions({"--simulate=unplug.json", "--registry", "r.reg", "--trace=t.log",
                          "--screenshot", "shot.png", "--screenshot-after=250"});
  EXPECT_TRUE(o.simulate);
  EXPECT_EQ(o.scenarioFile, "unplug.json");
  EXPECT_EQ(o.registryFile, "r.reg");
  EXPECT_EQ(o.traceFile, "t.log");
  EXPECT_EQ(o.screenshotFile, "shot.png");
  EXPECT_EQ(o.screenshotAfter, std::chrono::milliseconds(250));
  EXPECT_EQ(ParseQueltaOptions({"--screenshot", "a.png"}).screenshotAfter,
            std::chrono::milliseconds(4000));
  EXPECT_TRUE(ParseQueltaOptions({"--version"}).version);
  EXPECT_TRUE(ParseQueltaOptions({"--simulate"}).scenarioFile.empty());
  // Started at login: put away in the tray; otherwise the window shows.
  EXPECT_TRUE(ParseQueltaOptions({"--tray"}).tray);
  EXPECT_TRUE(ParseQueltaOptions({"--simulate", "--tray"}).simulate);
  EXPECT_FALSE(ParseQueltaOptions({"--simulate"}).tray);
}

TEST(QueltaOptions, TheCyclePauseRunsFromZeroToThreeSeconds) {
  EXPECT_FALSE(ParseQueltaOptions({"--simulate"}).cyclePause.has_value());
  EXPECT_EQ(ParseQueltaOptions({"--cycle-ms", "0"}).cyclePause, std::chrono::milliseconds(0));
  EXPECT_EQ(ParseQueltaOptions({"--cycle-ms=3000"}).cyclePause, std::chrono::milliseconds(3000));
  for (const char* bad : {"-1", "3001", "1e2", ""}) {
    EXPECT_THROW(ParseQueltaOptions({"--cycle-ms", bad}), QueltaUsageError) << bad;
  }
}

TEST(QueltaOptions, RefusesWhatItCannotTakeAndNamesIt) {
  const std::vector<std::vector<std::string>> bad = {
      {"--frobnicate"},
      {"--registry"},
      {"--registry="},
      {"--simulate="},
      {"--screenshot-after", "100"},  // without --screenshot
      {"--screenshot", "a.png", "--screenshot-after", "-5"},
      {"--screenshot", "a.png", "--screenshot-after", "12ms"},
      {"--screenshot", "a.png", "--screenshot-after", "99999999999999999999"},
      {"extra"},
      {"--tray=yes"},
  };
  for (const auto& args : bad) {
    EXPECT_THROW(ParseQueltaOptions(args), QueltaUsageError) << args[0];
  }
  try {
    ParseQueltaOptions({"--frobnicate"});
  } catch (const QueltaUsageError& e) {
    EXPECT_NE(std::string(e.what()).find("--frobnicate"), std::string::npos);
  }
}

}  // namespace
}  // namespace app
