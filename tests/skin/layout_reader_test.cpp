#include "skin/layout_reader.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/numbers.h"
#include "skin/skin_errors.h"
#include "support/recording_registry_store.h"

namespace skin {
namespace {

using testing_support::RecordingRegistryStore;

constexpr std::string_view kPage = "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt";

// A display key with every group present, so each test can switch groups on and off.
std::string DisplayReg(std::string_view flags, std::string_view extraStatusRect = "") {
  return std::string(R"([HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\Skin\Eng\Manager\Watt\Total]
)") + std::string(flags) +
         R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\Skin\Eng\Manager\Watt\Total\Digit]
"Left"="30"
"Top"="112"
"Width"="8"
"Height"="16"
"Count"="5"
"DecimalCount"="1"
"isFloat"="1"
"isAttr"="0"
[HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\Skin\Eng\Manager\Watt\Total\StatusBar]
"Left"="20"
"Top"="140"
"Width"="280"
"Height"="20"
"Min"="0"
"Max"="550"
"Scale"="10"
[HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\Skin\Eng\Manager\Watt\Total\PosBar]
"Left"="10"
"Top"="200"
"Width"="14"
"Height"="7"
"Path"="Skin\\marker.bmp"
"disPath"="Skin\\marker_dis.bmp"
[HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\Skin\Eng\Manager\Watt\Total\StatusRect]
"Left"="40"
"Top"="60"
"Length"="100"
"Caliper"="12"
"Horizontal"="0"
)" +
         (extraStatusRect.empty() ? std::string("\"Min\"=\"0,0,0\"\n\"Max\"=\"11.4,11.5,11.6\"\n")
                                  : std::string(extraStatusRect));
}

constexpr std::string_view kAllFlags =
    "\"ShowDigit\"=\"1\"\n\"ShowStatusBar\"=\"1\"\n\"ShowPosBar\"=\"1\"\n\"ShowStatusRect\"=\"1\"";

TEST(ReadButtonLayout, FillsTheRectangleAndAppendsTheFourPathsInOrder) {
  RecordingRegistryStore store(R"(Windows Registry Editor Version 5.00
[HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\Skin\Eng\Manager\Watt\ClearPeak]
"DisBmp"="Skin\\peak_dis.bmp"
"ClickBmp"="Skin\\peak_down.bmp"
"EnterBmp"="Skin\\peak_over.bmp"
"LeaveBmp"="Skin\\peak_up.bmp"
"Height"="22"
"Width"="70"
"Top"="-3"
"Left"=" 540 "
)");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  ButtonLayout rect;
  std::vector<std::string> bitmaps = {"kept"};
  store.log.clear();
  ASSERT_TRUE(reader.ReadButtonLayout(kPage, "ClearPeak", rect, bitmaps));

  EXPECT_EQ(rect.Left, 540);
  EXPECT_EQ(rect.Top, -3);
  EXPECT_EQ(rect.Width, 70);
  EXPECT_EQ(rect.Height, 22);
  // Appended to what the caller's list held, so the caller takes them from its own offset.
  EXPECT_EQ(bitmaps, (std::vector<std::string>{"kept", "Skin\\peak_up.bmp", "Skin\\peak_over.bmp",
                                               "Skin\\peak_down.bmp", "Skin\\peak_dis.bmp"}));
  const std::string key = std::string(kPage) + "\\ClearPeak";
  EXPECT_EQ(store.log, (std::vector<std::string>{"OpenKey " + key, key + " : Left", key + " : Top",
                                                 key + " : Width", key + " : Height",
                                                 key + " : LeaveBmp", key + " : EnterBmp",
                                                 key + " : ClickBmp", key + " : DisBmp"}));
}

TEST(ReadButtonLayout, AMissingKeyFailsAndWritesNothing) {
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt]\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  ButtonLayout rect{1, 2, 3, 4};
  std::vector<std::string> bitmaps;
  EXPECT_FALSE(reader.ReadButtonLayout(kPage, "ClearPeak", rect, bitmaps));
  EXPECT_EQ(rect.Left, 1);
  EXPECT_EQ(rect.Height, 4);
  EXPECT_TRUE(bitmaps.empty());
  EXPECT_EQ(reader.MissingKey(), std::string(kPage) + "\\ClearPeak");
}

TEST(ReadButtonLayout, KeyCompositionAddsNoSecondBackslash) {
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close]\n"
      "\"Left\"=\"1\"\n\"Top\"=\"2\"\n\"Width\"=\"3\"\n\"Height\"=\"4\"\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  ButtonLayout rect;
  std::vector<std::string> bitmaps;
  store.log.clear();
  ASSERT_TRUE(reader.ReadButtonLayout("\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\", "Close",
                                      rect, bitmaps));
  EXPECT_EQ(store.log.front(), "OpenKey \\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close");
  // Missing paths read as empty texts; the bitmap load fails later, not the reader.
  EXPECT_EQ(bitmaps, std::vector<std::string>(4, ""));
}

TEST(ReadDisplayLayout, ReadsEveryFlaggedGroupInItsOrder) {
  RecordingRegistryStore store(DisplayReg(kAllFlags));
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 680);
  DisplayLayout layout;
  store.log.clear();
  ASSERT_TRUE(reader.ReadDisplayLayout(kPage, "Total", layout));

  EXPECT_TRUE(layout.ShowDigit && layout.ShowStatusBar && layout.ShowPosBar &&
              layout.ShowStatusRect);
  EXPECT_EQ(layout.digit.Left, 30);
  EXPECT_EQ(layout.digit.Count, 5);
  EXPECT_EQ(layout.digit.Width, 8);
  EXPECT_EQ(layout.digit.Height, 16);
  EXPECT_EQ(layout.digit.DecimalCount, 1);
  EXPECT_TRUE(layout.digit.isFloat);
  EXPECT_FALSE(layout.digit.isAttr);
  EXPECT_EQ(layout.statusBar.Max, 550);
  EXPECT_EQ(layout.statusBar.Scale, 10);
  EXPECT_EQ(layout.posBar.Path, "Skin\\marker.bmp");
  EXPECT_EQ(layout.posBar.disPath, "Skin\\marker_dis.bmp");
  EXPECT_EQ(layout.statusRect.Length, 100);
  EXPECT_FLOAT_EQ(layout.statusRect.Max, 11.5f);  // the 680 W piece

  const std::string key = std::string(kPage) + "\\Total";
  std::vector<std::string> expected = {"OpenKey " + key};
  for (const char* flag : {"ShowDigit", "ShowStatusBar", "ShowPosBar", "ShowStatusRect"}) {
    expected.push_back(key + " : " + flag);
  }
  const auto group = [&](const std::string& sub, std::initializer_list<const char*> names) {
    expected.push_back("OpenKey " + key + "\\" + sub);
    for (const char* name : names) expected.push_back(key + "\\" + sub + " : " + name);
  };
  // The digit group reads its sizes before its count, unlike its field order.
  group("Digit", {"Left", "Top", "Width", "Height", "Count", "DecimalCount", "isFloat", "isAttr"});
  group("StatusBar", {"Left", "Top", "Width", "Height", "Min", "Max", "Scale"});
  group("PosBar", {"Left", "Top", "Width", "Height", "Path", "disPath"});
  group("StatusRect", {"Left", "Top", "Length", "Caliper", "Min", "Max", "Horizontal"});
  EXPECT_EQ(store.log, expected);
}

TEST(ReadDisplayLayout, AnAbsentKeyIsFineAndLeavesTheRecordAsItWas) {
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt]\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  DisplayLayout layout;
  layout.ShowDigit = true;
  layout.digit.Count = 7;
  EXPECT_TRUE(reader.ReadDisplayLayout(kPage, "Total", layout));
  EXPECT_TRUE(layout.ShowDigit);
  EXPECT_EQ(layout.digit.Count, 7);
  EXPECT_EQ(reader.ReadDisplay(kPage, "Total", layout), DisplayReadResult::KeyAbsent);
}

TEST(ReadDisplayLayout, FlagsAllZeroNeedNoSubKeys) {
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\Total]\n"
      "\"ShowDigit\"=\"0\"\n\"ShowStatusBar\"=\"0\"\n\"ShowPosBar\"=\"0\"\n"
      "\"ShowStatusRect\"=\"0\"\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  DisplayLayout layout;
  EXPECT_EQ(reader.ReadDisplay(kPage, "Total", layout), DisplayReadResult::Read);
  EXPECT_FALSE(layout.ShowDigit || layout.ShowStatusBar || layout.ShowPosBar ||
               layout.ShowStatusRect);
}

TEST(ReadDisplayLayout, AFlaggedGroupWithoutItsSubKeyFailsAndStopsThere) {
  // ShowPosBar is set but there is no PosBar sub-key; the status rect after it is not read.
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\Total]\n"
      "\"ShowDigit\"=\"0\"\n\"ShowStatusBar\"=\"0\"\n\"ShowPosBar\"=\"1\"\n"
      "\"ShowStatusRect\"=\"-1\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\Total\\"
      "StatusRect]\n\"Left\"=\"5\"\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  DisplayLayout layout;
  store.log.clear();
  EXPECT_FALSE(reader.ReadDisplayLayout(kPage, "Total", layout));
  EXPECT_TRUE(layout.ShowStatusRect);  // any non-zero integer is true
  EXPECT_EQ(layout.statusRect.Left, 0);
  EXPECT_EQ(reader.MissingKey(), std::string(kPage) + "\\Total\\PosBar");
  EXPECT_EQ(store.log.back(), "OpenKey " + std::string(kPage) + "\\Total\\PosBar missing");
}

TEST(LayoutReaderValues, AMalformedOrMissingIntegerThrowsTheConversionErrorNamingItsKey) {
  for (const char* bad : {"12px", "", "1.0", "0x10", "99999999999"}) {
    RecordingRegistryStore store(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\ClearPeak]\n"
        "\"Left\"=\"1\"\n\"Top\"=\"" +
        std::string(bad) + "\"\n");
    auto registry = store.Open(platform::RegistryAccess::Read);
    LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
    ButtonLayout rect;
    std::vector<std::string> bitmaps;
    try {
      reader.ReadButtonLayout(kPage, "ClearPeak", rect, bitmaps);
      ADD_FAILURE() << "no error for Top=\"" << bad << "\"";
    } catch (const core::ConversionError& e) {
      EXPECT_NE(std::string(e.what()).find("\"Top\" of key " + std::string(kPage) + "\\ClearPeak"),
                std::string::npos)
          << e.what();
    }
    EXPECT_TRUE(bitmaps.empty());
  }
}

TEST(LayoutReaderValues, AnExpandableStringReadsAsItsTextUnexpanded) {
  // "10" and "%X%" as expandable strings (UTF-16LE with their terminating zero).
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\ClearPeak]\n"
      "\"Left\"=hex(2):31,00,30,00,00,00\n\"Top\"=\"2\"\n\"Width\"=\"3\"\n\"Height\"=\"4\"\n"
      "\"LeaveBmp\"=hex(2):25,00,58,00,25,00,00,00\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  ButtonLayout rect;
  std::vector<std::string> bitmaps;
  ASSERT_TRUE(reader.ReadButtonLayout(kPage, "ClearPeak", rect, bitmaps));
  EXPECT_EQ(rect.Left, 10);
  EXPECT_EQ(bitmaps[kLeaveBmp], "%X%");
}

TEST(LayoutReaderValues, AFlagMustBeAnIntegerToo) {
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\Total]\n"
      "\"ShowDigit\"=\"true\"\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  DisplayLayout layout;
  EXPECT_THROW(reader.ReadDisplayLayout(kPage, "Total", layout), core::ConversionError);
}

TEST(LayoutReaderValues, AValueThatIsNotTextIsARegistryReadError) {
  RecordingRegistryStore store(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\ClearPeak]\n"
      "\"Left\"=dword:00000010\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, 550);
  ButtonLayout rect;
  std::vector<std::string> bitmaps;
  EXPECT_THROW(reader.ReadButtonLayout(kPage, "ClearPeak", rect, bitmaps),
               platform::RegistryReadError);
}

TEST(ReaderVariants, StatusBarRangeIsIntegerTextExceptInTheCurrentWindow) {
  const std::string flags =
      "\"ShowDigit\"=\"0\"\n\"ShowStatusBar\"=\"1\"\n\"ShowPosBar\"=\"0\"\n"
      "\"ShowStatusRect\"=\"0\"";
  const auto withRange = [&](std::string_view min, std::string_view max) {
    std::string reg = DisplayReg(flags);
    const std::string stored = "\"Min\"=\"0\"\n\"Max\"=\"550\"";
    reg.replace(reg.find(stored), stored.size(),
                "\"Min\"=\"" + std::string(min) + "\"\n\"Max\"=\"" + std::string(max) + "\"");
    return reg;
  };
  {
    RecordingRegistryStore store(withRange("-3.7", "10.9"));
    auto registry = store.Open(platform::RegistryAccess::Read);
    DisplayLayout layout;
    LayoutReader current(*registry, ReaderVariant::CurrentWindow, 550);
    ASSERT_TRUE(current.ReadDisplayLayout(kPage, "Total", layout));
    EXPECT_EQ(layout.statusBar.Min, -3);  // truncated toward zero
    EXPECT_EQ(layout.statusBar.Max, 10);
    LayoutReader main(*registry, ReaderVariant::MainWindow, 550);
    EXPECT_THROW(main.ReadDisplayLayout(kPage, "Total", layout), core::ConversionError);
    LayoutReader voltage(*registry, ReaderVariant::VoltageWindow, 550);
    EXPECT_THROW(voltage.ReadDisplayLayout(kPage, "Total", layout), core::ConversionError);
  }
  {
    // Plain reals: rounded to three decimals first they would truncate to -4 and 11.
    RecordingRegistryStore store(withRange("-3.9996", "10.9996"));
    auto registry = store.Open(platform::RegistryAccess::Read);
    DisplayLayout layout;
    LayoutReader current(*registry, ReaderVariant::CurrentWindow, 550);
    ASSERT_TRUE(current.ReadDisplayLayout(kPage, "Total", layout));
    EXPECT_EQ(layout.statusBar.Min, -3);
    EXPECT_EQ(layout.statusBar.Max, 10);
  }
  {
    // A real beyond the 32-bit range is held at its end instead of overflowing.
    RecordingRegistryStore store(withRange("-1e12", "1e12"));
    auto registry = store.Open(platform::RegistryAccess::Read);
    DisplayLayout layout;
    LayoutReader current(*registry, ReaderVariant::CurrentWindow, 550);
    ASSERT_TRUE(current.ReadDisplayLayout(kPage, "Total", layout));
    EXPECT_EQ(layout.statusBar.Min, INT32_MIN);
    EXPECT_EQ(layout.statusBar.Max, INT32_MAX);
  }
}

TEST(ReaderVariants, StatusRectRangeIsARatingListExceptInTheVoltageWindow) {
  const std::string flags =
      "\"ShowDigit\"=\"0\"\n\"ShowStatusBar\"=\"0\"\n\"ShowPosBar\"=\"0\"\n"
      "\"ShowStatusRect\"=\"1\"";
  RecordingRegistryStore store(
      DisplayReg(flags, "\"Min\"=\"11.4,11.5,11.6\"\n\"Max\"=\"12.0004\"\n"));
  auto registry = store.Open(platform::RegistryAccess::Read);
  DisplayLayout layout;

  LayoutReader voltage(*registry, ReaderVariant::VoltageWindow, 800);
  ASSERT_TRUE(voltage.ReadDisplayLayout(kPage, "Total", layout));
  EXPECT_FLOAT_EQ(layout.statusRect.Min, 11.4f);  // the leading number of the text
  EXPECT_EQ(layout.statusRect.Max, 12.0004f);     // plain, not rounded to 12

  LayoutReader current(*registry, ReaderVariant::CurrentWindow, 550);
  ASSERT_TRUE(current.ReadDisplayLayout(kPage, "Total", layout));
  EXPECT_FLOAT_EQ(layout.statusRect.Min, 11.4f);
  EXPECT_EQ(layout.statusRect.Max, 12.0004f);

  // At 800 W the single-piece Max is too short: a format error naming the value and key.
  LayoutReader main(*registry, ReaderVariant::MainWindow, 800);
  try {
    main.ReadDisplayLayout(kPage, "Total", layout);
    ADD_FAILURE() << "no format error";
  } catch (const SkinFormatError& e) {
    EXPECT_NE(
        std::string(e.what()).find("\"Max\" of key " + std::string(kPage) + "\\Total\\StatusRect"),
        std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace skin
