#include "platform/hid/input_report_framing.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(InputReportFraming, PutsTheReportIdBackInFrontOfUnnumberedReports) {
  const Bytes delivered{0x80, 0x00, 0, 0, 0, 0, 0, 0};  // 8 data bytes, as hidraw gives them
  Bytes buffer(64, 0xEE);
  ASSERT_EQ(FrameInputReport(delivered, false, buffer), 9u);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 9), (Bytes{0x00, 0x80, 0x00, 0, 0, 0, 0, 0, 0}));

  // Numbered reports already start with their id.
  const Bytes numbered{0x02, 0x11, 0x22};
  ASSERT_EQ(FrameInputReport(numbered, true, buffer), 3u);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), numbered);
}

TEST(InputReportFraming, AReportThatDoesNotFitOrIsEmptyIsNoReport) {
  Bytes nine(9);
  EXPECT_EQ(FrameInputReport(Bytes(9, 1), false, nine), 0u);  // 10 bytes with its id
  EXPECT_EQ(FrameInputReport(Bytes(9, 1), true, nine), 9u);
  EXPECT_EQ(FrameInputReport(Bytes{}, false, nine), 0u);
}

}  // namespace
}  // namespace platform
