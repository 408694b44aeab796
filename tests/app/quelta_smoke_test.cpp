// Runs the built quelta as a process on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

struct ProcessRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class QueltaSmokeTest : public ::testing::Test {
 protected:
  ProcessRun Quelta(const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // A socket and settings of this test's own, whatever else runs on the machine.
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(scratch_.Path().string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch_.Path().string()));
    env.insert("XDG_STATE_HOME", QString::fromStdString(scratch_.Path().string()));
    process.setProcessEnvironment(env);
    process.start(QUELTA_PATH, args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return ProcessRun{process.exitCode(), process.readAllStandardOutput().toStdString(),
                      process.readAllStandardError().toStdString()};
  }

  ScratchFolder scratch_;
};

TEST_F(QueltaSmokeTest, TheScreenshotShowsTheLiveMonitor) {
  const QString shot = QString::fromStdString((scratch_.Path() / "shot.png").string());
  const QString trace = QString::fromStdString((scratch_.Path() / "trace.txt").string());
  const ProcessRun run =
      Quelta({"--simulate", "--trace", trace, "--screenshot", shot, "--screenshot-after", "1500"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QImage image(shot);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 630);
  EXPECT_EQ(image.height(), 659);
  // A drawn monitor has many colours; a blank or failed window has one or two.
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 50u);
  // The trace brackets the exchanges with the access mutex's takes and releases.
  std::ifstream traceFile(trace.toStdString());
  std::vector<std::string> events;
  for (std::string line; std::getline(traceFile, line);)
    events.push_back(line.substr(line.find(' ') + 1));
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front(), "LOCK");
  EXPECT_EQ(events[1].rfind("M W 6 00 00", 0), 0u) << events[1];  // the reference read first
  EXPECT_NE(std::find(events.begin(), events.end(), "UNLOCK"), events.end());
  // The first run started the user's settings file; the tree, skin included, stays in the
  // factory file beside the program.
  const auto settingsFile = scratch_.Path() / "quelta" / "registry.reg";
  ASSERT_TRUE(std::filesystem::exists(settingsFile));
  EXPECT_LT(std::filesystem::file_size(settingsFile), 4096u);
}

TEST_F(QueltaSmokeTest, ASecondStartBringsTheRunningWindowBackAndEnds) {
  QProcess first;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(scratch_.Path().string()));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch_.Path().string()));
  env.insert("XDG_STATE_HOME", QString::fromStdString(scratch_.Path().string()));
  first.setProcessEnvironment(env);
  const QString shot = QString::fromStdString((scratch_.Path() / "shot.png").string());
  first.start(QUELTA_PATH, {"--simulate", "--screenshot", shot, "--screenshot-after", "30000"});
  ASSERT_TRUE(first.waitForStarted());
  // The running window answers once its message socket is there.
  const auto socket = scratch_.Path() / "Quelta";
  for (int i = 0; i < 200 && !std::filesystem::exists(socket); ++i) first.waitForFinished(50);
  ASSERT_TRUE(std::filesystem::exists(socket));

  const ProcessRun second = Quelta({"--simulate"});
  EXPECT_EQ(second.exitCode, 0) << second.err;
  EXPECT_NE(second.out.find("already running"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("brought back"), std::string::npos) << second.out;
  EXPECT_EQ(first.state(), QProcess::Running);  // the first one runs on
  first.terminate();
  first.waitForFinished(10000);
}

// Two starts a few milliseconds apart, as a double click on the menu entry gives them: each
// round exactly one runs its window, and the other brings it back and ends with 0.
TEST_F(QueltaSmokeTest, OfTwoStartsAtOnceExactlyOneRunsAWindow) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(scratch_.Path().string()));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch_.Path().string()));
  constexpr int kRounds = 3;
  for (int round = 0; round < kRounds; ++round) {
    std::array<QProcess, 2> starts;
    for (std::size_t i = 0; i < starts.size(); ++i) {
      const auto shot = scratch_.Path() / ("shot" + std::to_string(i) + ".png");
      starts[i].setProcessEnvironment(env);
      // Long enough for the later start to be made while the earlier one still runs.
      starts[i].start(QUELTA_PATH, {"--simulate", "--screenshot", QString::fromStdString(shot),
                                    "--screenshot-after", "4000"});
    }
    int windows = 0, broughtBack = 0;
    for (QProcess& start : starts) {
      ASSERT_TRUE(start.waitForFinished(60000)) << "round " << round << ": a start never ended";
      const std::string out = start.readAllStandardOutput().toStdString();
      EXPECT_EQ(start.exitCode(), 0) << start.readAllStandardError().toStdString();
      if (out.find("already running") != std::string::npos) {
        ++broughtBack;
      } else {
        ++windows;
      }
    }
    EXPECT_EQ(windows, 1) << "round " << round;
    EXPECT_EQ(broughtBack, 1) << "round " << round;
    EXPECT_FALSE(std::filesystem::exists(scratch_.Path() / "Quelta")) << "round " << round;
  }
}

TEST_F(QueltaSmokeTest, VersionHelpAndBadArguments) {
  const ProcessRun version = Quelta({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "Quelta ver 0.62\n");
  EXPECT_EQ(Quelta({"--help"}).exitCode, 0);
  const ProcessRun bad = Quelta({"--simulate", "--colour"});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("--colour"), std::string::npos);
  EXPECT_NE(bad.err.find("usage: quelta"), std::string::npos);
  const ProcessRun missing = Quelta({"--registry", "/nonexistent/registry.reg"});
  EXPECT_EQ(missing.exitCode, 1);
}

}  // namespace
}  // namespace mainwindow::testing
