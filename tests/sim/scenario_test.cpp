#include "sim/scenario.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

TEST(Scenario, FileErrorsNameTheFile) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("quelta-scenario-" + std::to_string(getpid()));
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
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace sim
