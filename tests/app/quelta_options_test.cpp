#include "app/quelta_options.h"

#include <gtest/gtest.h>

#include <sstream>

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

// What both window programs do with their command line before they make anything.
struct CommandLineOutcome {
  QueltaCommandLine line;
  std::string out;
  std::string err;
};

CommandLineOutcome ReadLine(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  QueltaCommandLine line = ReadQueltaCommandLine(args, out, err);
  return {std::move(line), out.str(), err.str()};
}

TEST(QueltaCommandLine, AUsageErrorGoesToStderrWithTheUsageAndExitsOne) {
  // A bad argument wins over --help and --version wherever it stands.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--frobnicate"}, {"--help", "--frobnicate"}, {"--frobnicate", "--version"}}) {
    const CommandLineOutcome o = ReadLine(args);
    EXPECT_EQ(o.line.exitCode, 1) << args[0];
    EXPECT_EQ(o.out, "") << args[0];
    EXPECT_EQ(o.err.rfind("quelta: unknown argument '--frobnicate'\nusage: quelta [--simulate", 0),
              0u)
        << o.err;
  }
}

TEST(QueltaCommandLine, HelpAndVersionPrintOnStdoutAndExitZero) {
  for (const char* help : {"--help", "-h"}) {
    const CommandLineOutcome o = ReadLine({"--simulate", help});
    EXPECT_EQ(o.line.exitCode, 0) << help;
    EXPECT_EQ(o.out.rfind("usage: quelta [--simulate", 0), 0u) << o.out;
    EXPECT_EQ(o.err, "");
  }
  const CommandLineOutcome version = ReadLine({"--version"});
  EXPECT_EQ(version.line.exitCode, 0);
  EXPECT_EQ(version.out, std::string("Quelta ver ") + QUELTA_VERSION + "\n");
  EXPECT_EQ(version.err, "");
  // Both asked for: the usage is the answer.
  EXPECT_EQ(ReadLine({"--version", "--help"}).out.rfind("usage: quelta", 0), 0u);
}

TEST(QueltaCommandLine, ARunnableLinePrintsNothingAndKeepsItsOptions) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"--simulate", "--tray", "--cycle-ms=40"}}) {
    const CommandLineOutcome o = ReadLine(args);
    EXPECT_FALSE(o.line.exitCode.has_value());
    EXPECT_EQ(o.out + o.err, "");
    EXPECT_EQ(o.line.options.simulate, !args.empty());
    EXPECT_EQ(o.line.options.tray, !args.empty());
    EXPECT_EQ(o.line.options.cyclePause.value_or(std::chrono::milliseconds(-1)).count(),
              args.empty() ? -1 : 40);
  }
}

}  // namespace
}  // namespace app
