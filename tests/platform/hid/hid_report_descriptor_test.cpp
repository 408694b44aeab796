#include "platform/hid/hid_report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A vendor-defined device without report ids: 8 data bytes in, 5 out.
const Bytes kUnnumbered{
    0x06, 0x00, 0xFF,        // usage page (vendor)
    0x09, 0x01,              // usage
    0xA1, 0x01,              // collection (application)
    0x15, 0x00,              //   logical minimum 0
    0x26, 0xFF, 0x00,        //   logical maximum 255
    0x75, 0x08,              //   report size 8
    0x95, 0x08,              //   report count 8
    0x09, 0x01, 0x81, 0x02,  // input
    0x95, 0x05,              //   report count 5
    0x09, 0x01, 0x91, 0x02,  // output
    0xC0,                    // end collection
};

TEST(HidReportDescriptor, ReportLengthsIncludeTheReportIdByte) {
  const auto layout = ParseReportDescriptor(kUnnumbered);
  ASSERT_TRUE(layout.has_value());
  EXPECT_FALSE(layout->numbered);
  EXPECT_EQ(layout->inputReportLength, 9u);
  EXPECT_EQ(layout->outputReportLength, 6u);
}

TEST(HidReportDescriptor, NumberedReportsTakeTheLongestReportOfEachKind) {
  const Bytes numbered{
      0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02,  // id 1: 3 bytes in
      0x85, 0x02, 0x95, 0x10, 0x81, 0x02,              // id 2: 16 bytes in
      0x75, 0x01, 0x95, 0x0C, 0x91, 0x02,              // id 2: 12 bits out
      0xA4, 0x95, 0x40, 0xB4,                          // push, count 64, pop: count back to 12
      0x91, 0x02,                                      // id 2: 12 more bits out
      0xFE, 0x02, 0x10, 0xAA, 0xBB,                    // a long item, skipped whole
  };
  const auto layout = ParseReportDescriptor(numbered);
  ASSERT_TRUE(layout.has_value());
  EXPECT_TRUE(layout->numbered);
  EXPECT_EQ(layout->inputReportLength, 17u);
  EXPECT_EQ(layout->outputReportLength, 4u);
}

TEST(HidReportDescriptor, MalformedDescriptorsAreRefused) {
  EXPECT_FALSE(ParseReportDescriptor(Bytes{0x26, 0xFF}).has_value());  // item cut short
  EXPECT_FALSE(ParseReportDescriptor(Bytes{0xB4}).has_value());        // pop without push
  EXPECT_FALSE(ParseReportDescriptor(Bytes{0x85, 0x00}).has_value());  // report id 0
  EXPECT_FALSE(ParseReportDescriptor(Bytes{0xFE, 0x05, 0x10, 0x01}).has_value());
  EXPECT_FALSE(ParseReportDescriptor(Bytes{0x0C}).has_value());  // reserved item type
  const auto empty = ParseReportDescriptor(Bytes{});
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->inputReportLength, 0u);
}

}  // namespace
}  // namespace platform
