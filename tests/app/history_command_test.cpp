#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/ctl/run_ctl.h"
#include "device/recording_sleeper.h"
#include "history/history_recorder.h"
#include "history/history_time.h"
#include "history/virtual_history_clock.h"
#include "support/settings_file.h"
#include "support/temp_folder.h"
#include "tests/history/history_test_support.h"

namespace app::ctl {
namespace {

using history_testing::kStart;
using history_testing::Readings;
using testing::HasSubstr;
using namespace std::chrono_literals;

struct Result {
  int code;
  std::string out, err;
};

// quelta-ctl in this process with its settings file and its record in a fresh folder.
class HistoryCommand : public ::testing::Test {
 protected:
  HistoryCommand() {
    testing_support::WriteFile(dir_ / "registry.reg", testing_support::FactoryTree());
    ::setenv("XDG_STATE_HOME", dir_.c_str(), 1);
  }

  Result Run(std::vector<std::string> args) {
    args.insert(args.begin(), "--registry=" + (dir_ / "registry.reg").string());
    std::ostringstream out, err;
    const int code = RunCtl(args, out, err, host_);
    return {code, out.str(), err.str()};
  }

  std::filesystem::path File() const { return dir_ / "quelta/history.sqlite"; }

  // Three polls of one minute, folded; two raw polls after them; two events.
  void RecordKnownDay() {
    history::VirtualHistoryClock clock(kStart);
    history::HistoryRecorderOptions options;
    options.file = File();
    options.processId = 4242;
    history::HistoryRecorder recorder(options, clock);
    for (const auto& [at, base] : {std::pair{0s, 100.0f}, {3s, 200.0f}, {6s, 330.0f}})
      ASSERT_TRUE(recorder.RecordPoll(kStart + at, Readings(base)));
    clock.Set(kStart + 24h + 1min);
    ASSERT_TRUE(recorder.Maintain());
    ASSERT_TRUE(recorder.RecordPoll(kStart + 24h, Readings(0.5f)));
    ASSERT_TRUE(recorder.RecordPoll(kStart + 24h + 3s, Readings(0.25f)));
    ASSERT_TRUE(recorder.RecordEvent(kStart, history::HistoryEventKind::AlarmStart, "12V2"));
    ASSERT_TRUE(recorder.RecordEvent(kStart + 24h + 3s, history::HistoryEventKind::ConnectionLost));
  }

  testing_support::TempFolder scratch_;
  const std::filesystem::path dir_ = scratch_.Path();
  device::RecordingSleeper sleeper_;
  CtlHost host_{dir_, sleeper_, [] { return 0.0; }, {}};
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

TEST_F(HistoryCommand, CsvGivesFoldedAndRawRowsAndEventsInOneTimeline) {
  RecordKnownDay();
  const Result run =
      Run({"history", "--from", "2026-12-01", "--to", "2026-12-02T00:00:03Z", "--csv"});
  ASSERT_EQ(run.code, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u) << run.out;
  const std::vector<std::string> header = Fields(lines[0]);
  ASSERT_EQ(header.size(), 5u + 72u);
  EXPECT_EQ(header[4], "row");
  EXPECT_EQ(header[5], "ReferenceVoltage_min");
  EXPECT_EQ(header[76], "PowerRating_max");

  const std::vector<std::string> minute = Fields(lines[1]);
  ASSERT_EQ(minute.size(), 77u);
  EXPECT_EQ(std::vector<std::string>(minute.begin(), minute.begin() + 5),
            (std::vector<std::string>{"2026-12-01T00:00:00.000Z", "minute", "4242", "3", ""}));
  // Every reading's min/mean/max: 100/210/330 above its thousands.
  for (std::size_t i = 0; i < 24; ++i) {
    SCOPED_TRACE(header[5 + i * 3]);
    const std::string thousands = i == 0 ? "" : std::to_string(i);
    EXPECT_EQ(minute[5 + i * 3], thousands + "100");
    EXPECT_EQ(minute[6 + i * 3], thousands + "210");
    EXPECT_EQ(minute[7 + i * 3], thousands + "330");
  }
  // The event of the folded minute's first moment comes after its row.
  const std::vector<std::string> event = Fields(lines[2]);
  ASSERT_EQ(event.size(), 77u);
  EXPECT_EQ(std::vector<std::string>(event.begin(), event.begin() + 6),
            (std::vector<std::string>{"2026-12-01T00:00:00.000Z", "alarm_start", "4242", "", "12V2",
                                      ""}));
  const std::vector<std::string> poll = Fields(lines[3]);
  EXPECT_EQ(std::vector<std::string>(poll.begin(), poll.begin() + 8),
            (std::vector<std::string>{"2026-12-02T00:00:00.000Z", "poll", "4242", "1", "", "0.5",
                                      "0.5", "0.5"}));
  EXPECT_EQ(poll[6 + 22 * 3], "22000.5");  // WattTotal
  // --to is not part of the range: the poll and event at 00:00:03 are left out.
}

TEST_F(HistoryCommand, JsonAndTextCarryTheSameRecord) {
  RecordKnownDay();
  const Result json = Run({"history", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const nlohmann::json record = nlohmann::json::parse(json.out);
  ASSERT_EQ(record["rows"].size(), 3u);
  EXPECT_EQ(record["rows"][0]["kind"], "minute");
  EXPECT_EQ(record["rows"][0]["polls"], 3);
  EXPECT_EQ(record["rows"][0]["readings"]["Vol12V2"]["mean"], 6210);
  EXPECT_EQ(record["rows"][2]["time"], "2026-12-02T00:00:03.000Z");
  EXPECT_EQ(record["rows"][2]["readings"]["FanSystem"]["max"], 21000.25);
  ASSERT_EQ(record["events"].size(), 2u);
  EXPECT_EQ(record["events"][1],
            nlohmann::json::parse(R"({"time":"2026-12-02T00:00:03.000Z","kind":"connection_lost",)"
                                  R"("pid":4242,"row":""})"));

  const Result text = Run({"history", "--from", "2026-12-02T01:00+01:00"});
  ASSERT_EQ(text.code, 0) << text.err;
  const std::vector<std::string> lines = Lines(text.out);
  ASSERT_EQ(lines.size(), 3u) << text.out;
  EXPECT_THAT(lines[0], testing::StartsWith("2026-12-02T00:00:00.000Z poll pid 4242: "
                                            "ReferenceVoltage 0.5 Vol5V 1000.5 "));
  EXPECT_EQ(lines[2], "2026-12-02T00:00:03.000Z connection_lost pid 4242");
}

// A minute's three figures are each written for themselves, also where two of them agree:
// 5.01, 5.01 and the float one step above it (5.0100007) average to 5.01 as a float, so the
// min and mean read "5.01" and the max does not; a minute of 7, 9, 9 has its mean apart and its
// max equal to neither; a steady minute repeats one text.
TEST_F(HistoryCommand, EachOfAMinutesThreeFiguresIsItsOwnText) {
  history::VirtualHistoryClock clock(kStart);
  history::HistoryRecorderOptions options;
  options.file = File();
  options.processId = 7;
  history::HistoryRecorder recorder(options, clock);
  device::ReadingSet r;
  r.PowerRating = 550;
  const std::pair<float, float> polls[] = {
      {5.01f, 7.0f}, {5.01f, 9.0f}, {std::nextafter(5.01f, 6.0f), 9.0f}};
  for (std::size_t i = 0; i < std::size(polls); ++i) {
    r.Vol5V = polls[i].first;
    r.TempT1 = polls[i].second;
    ASSERT_TRUE(recorder.RecordPoll(kStart + std::chrono::seconds(3 * i), r));
  }
  clock.Set(kStart + 24h + 1min);
  ASSERT_TRUE(recorder.Maintain());

  const Result csv = Run({"history", "--csv"});
  ASSERT_EQ(csv.code, 0) << csv.err;
  const std::vector<std::string> lines = Lines(csv.out);
  ASSERT_EQ(lines.size(), 2u) << csv.out;
  const std::vector<std::string> minute = Fields(lines[1]);
  ASSERT_EQ(minute.size(), 77u);
  const auto three = [&minute](std::size_t column) {
    return minute[5 + column * 3] + "/" + minute[6 + column * 3] + "/" + minute[7 + column * 3];
  };
  EXPECT_EQ(three(1), "5.01/5.01/5.0100007");  // Vol5V
  EXPECT_EQ(three(15), "7/8.333333/9");        // TempT1
  EXPECT_EQ(three(23), "550/550/550");         // PowerRating
  EXPECT_EQ(three(0), "0/0/0");                // ReferenceVoltage

  const Result text = Run({"history"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_THAT(text.out, HasSubstr(" Vol5V 5.01/5.01/5.0100007 "));
  EXPECT_THAT(text.out, HasSubstr(" TempT1 7/8.333333/9 "));
  const nlohmann::json record = nlohmann::json::parse(Run({"history", "--json"}).out);
  EXPECT_EQ(record["rows"][0]["readings"]["Vol5V"]["max"].get<double>(), 5.0100007);
  EXPECT_EQ(record["rows"][0]["readings"]["Vol5V"]["mean"].get<double>(), 5.01);
}

TEST_F(HistoryCommand, OffsetsCountBackFromNow) {
  const history::SystemHistoryClock clock;
  history::HistoryRecorderOptions options;
  options.file = File();
  history::HistoryRecorder recorder(options, clock);
  ASSERT_TRUE(recorder.RecordPoll(clock.Now() - 2h, Readings(1)));
  ASSERT_TRUE(recorder.RecordPoll(clock.Now() - 30min, Readings(2)));
  const Result run = Run({"history", "--from", "-1h", "--csv"});
  ASSERT_EQ(run.code, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Fields(lines[1])[5], "2");
  EXPECT_EQ(Lines(Run({"history", "--to", "-1h", "--csv"}).out).size(), 2u);
  EXPECT_EQ(Lines(Run({"history", "--from", "-3h", "--to", "now", "--csv"}).out).size(), 3u);
}

TEST_F(HistoryCommand, SwitchAndRetentionAreStoredAndOldRowsGoAtOnce) {
  EXPECT_EQ(Run({"history", "status"}).out.substr(0, 3), "on\n");
  const Result off = Run({"history", "off"});
  ASSERT_EQ(off.code, 0) << off.err;
  EXPECT_EQ(off.out, "history off\n");
  EXPECT_THAT(testing_support::ReadFile(dir_ / "registry.reg"),
              HasSubstr("[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\History]"));
  EXPECT_EQ(Run({"history", "status"}).out,
            "off\nretention 30 days\nfile " + File().string() + "\n");
  EXPECT_EQ(Run({"history", "on"}).code, 0);

  const history::SystemHistoryClock clock;
  history::HistoryRecorderOptions options;
  options.file = File();
  {
    history::HistoryRecorder recorder(options, clock);
    ASSERT_TRUE(recorder.RecordEvent(clock.Now() - std::chrono::days(8),
                                     history::HistoryEventKind::ConnectionLost));
    ASSERT_TRUE(recorder.RecordEvent(clock.Now() - std::chrono::days(6),
                                     history::HistoryEventKind::ConnectionBack));
  }
  const Result retention = Run({"history", "retention", "7"});
  ASSERT_EQ(retention.code, 0) << retention.err;
  EXPECT_EQ(retention.out, "history retention 7 days\n");
  EXPECT_EQ(Run({"history", "status"}).out, "on\nretention 7 days\nfile " + File().string() + "\n");
  const nlohmann::json record = nlohmann::json::parse(Run({"history", "--json"}).out);
  ASSERT_EQ(record["events"].size(), 1u);
  EXPECT_EQ(record["events"][0]["kind"], "connection_back");

  // The edges of what a retention may be.
  EXPECT_EQ(Run({"history", "retention", "1"}).code, 0);
  EXPECT_EQ(Run({"history", "retention", "3650"}).code, 0);
  for (const char* refused : {"0", "3651", "-1", "7.5", "seven"}) {
    SCOPED_TRACE(refused);
    const Result run = Run({"history", "retention", refused});
    EXPECT_EQ(run.code, 1);
    EXPECT_THAT(run.err, HasSubstr(refused));
  }
  EXPECT_EQ(Run({"history", "status"}).out.substr(0, 22), "on\nretention 3650 days");
}

TEST_F(HistoryCommand, BadTimesAndAnUnreadableRecordAreToldAndNothingIsChanged) {
  for (const char* bad : {"yesterday", "2026-02-29", "2026-12-01T24:00", "-5y", "-5"}) {
    SCOPED_TRACE(bad);
    const Result run = Run({"history", "--from", bad});
    EXPECT_EQ(run.code, 1);
    EXPECT_THAT(run.err, HasSubstr(std::string("'") + bad + "'"));
  }
  EXPECT_EQ(Run({"history", "--csv", "--json"}).code, 1);

  // No record yet: nothing to print, and said so.
  const Result none = Run({"history", "--csv"});
  EXPECT_EQ(none.code, 0);
  EXPECT_EQ(Lines(none.out).size(), 1u);
  EXPECT_THAT(none.err, HasSubstr("no history yet"));

  std::filesystem::create_directories(File().parent_path());
  testing_support::WriteFile(File(), "not a database at all");
  const Result garbage = Run({"history"});
  EXPECT_EQ(garbage.code, 7);
  EXPECT_THAT(garbage.err, HasSubstr(File().string()));
  // A reader never sets a file aside: that is for a recorder, which will say so.
  EXPECT_EQ(testing_support::ReadFile(File()), "not a database at all");
}

}  // namespace
}  // namespace app::ctl
