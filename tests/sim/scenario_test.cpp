#include "sim/scenario.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"

namespace sim {
namespace {

TEST(Scenario, ReadsEveryFieldOfADocument) {
  const Scenario s = ParseScenario(R"({
      "monitor": { "present": true, "rating": 680, "seed": 7, "noise": false,
                   "replies": { "21": "C2 00 80 00 C0 80 BA 40", "04": null, "0a": "silent" },
                   "unplug_after": 40 },
      "gauge": { "present": false },
      "bus": { "extra_interfaces": 24, "unreadable_ids": 2 } })");
  EXPECT_TRUE(s.monitor.present);
  EXPECT_EQ(s.monitor.rating, 680);
  EXPECT_EQ(s.monitor.seed, 7u);
  EXPECT_FALSE(s.monitor.noise);
  EXPECT_EQ(s.monitor.unplugAfter, 40u);
  ASSERT_EQ(s.monitor.replies.size(), 3u);
  const ReplyOverride& fixed = s.monitor.replies.at(0x21);
  EXPECT_EQ(fixed.kind, ReplyOverride::Kind::Bytes);
  EXPECT_EQ(fixed.data, (std::array<std::uint8_t, 8>{0xC2, 0, 0x80, 0, 0xC0, 0x80, 0xBA, 0x40}));
  EXPECT_EQ(s.monitor.replies.at(0x04).kind, ReplyOverride::Kind::Short);
  EXPECT_EQ(s.monitor.replies.at(0x0A).kind, ReplyOverride::Kind::Silent);
  EXPECT_FALSE(s.gauge.present);
  EXPECT_EQ(s.bus.extraInterfaces, 24);
  EXPECT_EQ(s.bus.unreadableIds, 2);

  const Scenario empty = ParseScenario("{}");
  EXPECT_TRUE(empty.monitor.present && empty.gauge.present);
  EXPECT_EQ(empty.monitor.rating, 550);
  EXPECT_FALSE(empty.monitor.unplugAfter.has_value());
}

TEST(Scenario, ReadsWaitingInputAndLateReplies) {
  const Scenario s = ParseScenario(R"({"monitor": {
      "pending_input": ["19 00 28 00 00 00 63 00", "ff 01 02 03 04 05 06 07"],
      "late": {"02": 1500, "0B": 0}}})");
  ASSERT_EQ(s.monitor.pendingInput.size(), 2u);
  EXPECT_EQ(s.monitor.pendingInput[0],
            (std::array<std::uint8_t, 8>{0x19, 0, 0x28, 0, 0, 0, 0x63, 0}));
  EXPECT_EQ(s.monitor.pendingInput[1], (std::array<std::uint8_t, 8>{0xFF, 1, 2, 3, 4, 5, 6, 7}));
  ASSERT_EQ(s.monitor.late.size(), 2u);
  EXPECT_EQ(s.monitor.late.at(0x02), std::chrono::milliseconds(1500));
  EXPECT_EQ(s.monitor.late.at(0x0B), std::chrono::milliseconds(0));
  EXPECT_TRUE(ParseScenario("{}").monitor.pendingInput.empty());
  EXPECT_TRUE(ParseScenario("{}").monitor.late.empty());
  // A handle holds 32 reports at most, so 32 may wait and 33 cannot.
  std::string full = R"({"monitor": {"pending_input": [)";
  for (int i = 0; i < 32; ++i) full += std::string(i ? "," : "") + R"("00 00 00 00 00 00 00 00")";
  EXPECT_EQ(ParseScenario(full + "]}}").monitor.pendingInput.size(), 32u);
  EXPECT_THROW(ParseScenario(full + R"(,"00 00 00 00 00 00 00 00"]}})"), ScenarioError);
}

TEST(Scenario, ABadDocumentIsRefusedNamingTheField) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"monitor": {"rating": 500}})", "monitor.rating"},
      {R"({"monitor": {"rating": "550"}})", "monitor.rating"},
      {R"({"monitor": {"present": 1}})", "monitor.present"},
      {R"({"monitor": {"replies": {"2G": null}}})", "monitor.replies.2G"},
      {R"({"monitor": {"replies": {"021": null}}})", "monitor.replies.021"},
      {R"({"monitor": {"replies": {"21": "C2 00 80"}}})", "monitor.replies.21"},
      {R"({"monitor": {"replies": {"21": "C2 00 80 00 C0 80 BA 40 00"}}})", "monitor.replies.21"},
      {R"({"monitor": {"replies": {"21": "C2 00 80 00 C0 80 BA 4"}}})", "monitor.replies.21"},
      {R"({"monitor": {"replies": {"21": 5}}})", "monitor.replies.21"},
      {R"({"monitor": {"replies": []}})", "monitor.replies"},
      {R"({"monitor": {"unplug_after": -1}})", "monitor.unplug_after"},
      {R"({"monitor": {"unplug_after": 2.5}})", "monitor.unplug_after"},
      {R"({"monitor": {"rate": 550}})", "monitor.rate"},
      {R"({"monitor": {"pending_input": "19 00 28 00 00 00 63 00"}})", "monitor.pending_input"},
      {R"({"monitor": {"pending_input": ["19 00 28"]}})", "monitor.pending_input[0]"},
      {R"({"monitor": {"pending_input": ["00 00 00 00 00 00 00 00", 7]}})",
       "monitor.pending_input[1]"},
      {R"({"monitor": {"late": {"02": -5}}})", "monitor.late.02"},
      {R"({"monitor": {"late": {"02": "1500"}}})", "monitor.late.02"},
      {R"({"monitor": {"late": {"2": 1500}}})", "monitor.late.2"},
      {R"({"monitor": {"late": {"02": 600001}}})", "monitor.late.02"},
      {R"({"monitor": {"late": [1500]}})", "monitor.late"},
      {R"({"gauge": {"present": "no"}})", "gauge.present"},
      {R"({"bus": {"extra_interfaces": 100000}})", "bus.extra_interfaces"},
      {R"({"monitors": {}})", "monitors"},
      {R"([1, 2])", "object"},
      {R"({"monitor": )", "not valid JSON"},
  };
  for (const auto& [json, field] : cases) {
    try {
      ParseScenario(json);
      ADD_FAILURE() << "accepted: " << json;
    } catch (const ScenarioError& error) {
      EXPECT_NE(std::string(error.what()).find(field), std::string::npos)
          << json << " gave: " << error.what();
    }
  }
}

std::string Refusal(const std::string& json) {
  try {
    ParseScenario(json);
  } catch (const ScenarioError& error) {
    return error.what();
  }
  return "accepted";
}

TEST(Scenario, HostileDocumentsAreRefusedWithAMessageNeverACrash) {
  // Numbers beyond a double, wherever they stand, name their field.
  EXPECT_EQ(Refusal(R"({"monitor": {"seed": 1e400}})"),
            "scenario: monitor.seed: number overflow parsing '1e400'");
  EXPECT_EQ(Refusal(R"({"bus": {"unreadable_ids": -1e400}})"),
            "scenario: bus.unreadable_ids: number overflow parsing '-1e400'");
  EXPECT_EQ(Refusal(R"({"monitor": {"seed": 18446744073709551616}})"),
            "scenario: monitor.seed: must be a whole number of 0 or more");
  // Deep nesting is refused as it is read: 16 levels are read, 17 are not, 100,000 neither.
  const auto nested = [](int levels) {
    return R"({"monitor": {"rating": )" + std::string(levels - 2, '[') +
           std::string(levels - 2, ']') + "}}";
  };
  EXPECT_EQ(Refusal(nested(16)),
            "scenario: monitor.rating: must be 450, 550, 680 or 800 (got a list)");
  EXPECT_EQ(Refusal(nested(17)), "scenario: nested deeper than 16 levels");
  EXPECT_EQ(Refusal(std::string(100000, '[') + std::string(100000, ']')),
            "scenario: nested deeper than 16 levels");
  EXPECT_EQ(Refusal(R"({"monitor": )"),
            "scenario: not valid JSON: parse error at line 1, column 13: syntax error while "
            "parsing value - unexpected end of input; expected '[', '{', or a literal");
}

TEST(Scenario, OnlyARegularFileOfAtMostOneMebibyteIsRead) {
  EXPECT_EQ(
      [] {
        try {
          LoadScenarioFile("/dev/zero");
        } catch (const ScenarioError& error) {
          return std::string(error.what());
        }
        return std::string("accepted");
      }(),
      "scenario: cannot read /dev/zero: not a regular file");
  const testing_support::TempFolder scratch;
  const std::filesystem::path path = scratch / "big.json";
  // A valid document padded with blanks to exactly 1 MiB is read; one blank more is not.
  const std::string document = R"({"gauge": {"present": false}})";
  std::ofstream(path) << document << std::string(1024 * 1024 - document.size(), ' ');
  EXPECT_FALSE(LoadScenarioFile(path).gauge.present);
  std::ofstream(path, std::ios::app) << ' ';
  try {
    LoadScenarioFile(path);
    ADD_FAILURE() << "a file over 1 MiB was read";
  } catch (const ScenarioError& error) {
    EXPECT_EQ(std::string(error.what()),
              "scenario: cannot read " + path.string() + ": larger than 1 MiB");
  }
}

TEST(Scenario, FileErrorsNameTheFile) {
  const testing_support::TempFolder scratch;
  const std::filesystem::path path = scratch / "scenario.json";
  try {
    LoadScenarioFile(path);
    ADD_FAILURE();
  } catch (const ScenarioError& e) {
    EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos);
  }
  std::ofstream(path) << R"({"gauge": {"present": 3}})";
  try {
    LoadScenarioFile(path);
    ADD_FAILURE();
  } catch (const ScenarioError& e) {
    EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("gauge.present"), std::string::npos);
  }
}

}  // namespace
}  // namespace sim
