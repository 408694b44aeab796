// The two detail windows, built from the generated skin on the headless backend.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "detail/form_cur.h"
#include "detail/form_vol.h"
#include "platform/registry/reg_file_store.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/solid_fill.h"
#include "skin/skin_path.h"
#include "support/temp_folder.h"

namespace detail {
namespace {

std::filesystem::path BinFolder() {
  const char* bin = std::getenv("QUELTA_BIN_DIR");
  return bin ? std::filesystem::path(bin) : std::filesystem::path();
}

constexpr const char* kPages = "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\";

// A normal reading on every rail; the -12 V rail reads negative.
constexpr TFormVol::Readings kVolts{12.1f, 12.0f, 11.9f, 12.2f, 5.0f, 3.3f, -11.92f, 5.05f};
constexpr TFormCur::Readings kAmps{10.0f, 10.0f, 10.0f, 10.0f, 10.0f, 10.0f};

class DetailFormTest : public ::testing::Test {
 protected:
  DetailFormTest() {
    std::filesystem::copy_file(BinFolder() / "quelta-factory.reg", folder_ / "registry.reg");
    store_ = std::make_unique<platform::RegFileStore>(folder_ / "registry.reg");
  }

  DetailEnvironment Environment() {
    const QImage strip(":/skin/lists/ILANumber.bmp");
    return DetailEnvironment{app_, *store_, BinFolder(), ui::Bitmap::FromImage(strip)};
  }
  // Overwrites values of one key of the skin below "Manager\", in one save.
  void Put(const std::string& key,
           std::initializer_list<std::pair<const char*, const char*>> values) {
    const auto registry = store_->Open(platform::RegistryAccess::Write);
    const auto opened = registry->OpenKey(std::string(kPages) + key);
    ASSERT_NE(opened, nullptr) << key;
    for (const auto& [name, value] : values) ASSERT_TRUE(opened->WriteString(name, value));
    ASSERT_TRUE(registry->Commit());
  }
  // A vertical bar from y 100 to 500 at x 40 over the range 11 .. 13.
  void PlainBar(const std::string& displayKey) {
    Put("Voltage\\All\\" + displayKey + "\\StatusRect", {{"Left", "40"},
                                                         {"Top", "100"},
                                                         {"Length", "400"},
                                                         {"Caliper", "24"},
                                                         {"Min", "11"},
                                                         {"Max", "13"}});
  }
  std::shared_ptr<const ui::Bitmap> Background(const std::string& file) {
    return app_.Bitmaps().Load(skin::ResolveSkinPath(BinFolder(), "Skin\\Eng\\" + file));
  }

  testing_support::TempFolder folder_;
  std::unique_ptr<platform::RegistryStore> store_;
  ui::HeadlessEventLoop loop_;
  ui::ScriptedDialogs dialogs_;
  ui::HeadlessBackend backend_;
  ui::Application app_{loop_, dialogs_, backend_};
};

// The digits shown, read back from the cells' pictures.
std::string ShownDigits(const skin::TImageTrackBar& display, const ui::ImageList& numbers) {
  std::string digits;
  for (const auto& cell : display.DigitCells()) {
    for (int d = 0; d < numbers.Count(); ++d) {
      if (cell->Picture() && cell->Picture() == numbers.Picture(d)) {
        digits += static_cast<char>('0' + d);
        break;
      }
    }
  }
  return digits;
}

// The colour of the band last painted.
bool PaintedWith(const skin::TImageTrackBar& display, ui::Color color) {
  const auto& fills = display.StatusRectFill().Fills();
  return !fills.empty() && fills.back().color == color;
}

bool AnyGreen(const skin::TImageTrackBar& display) {
  for (const auto& fill : display.StatusRectFill().Fills()) {
    if (fill.color == ui::colors::kPureGreen) return true;
  }
  return false;
}

TEST_F(DetailFormTest, TheVoltageWindowTakesItsPageAndBackgroundByRating) {
  TFormVol normal(Environment(), kVolts, "Eng\\", 550);
  EXPECT_EQ(normal.PagePath(), "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Voltage\\All");
  EXPECT_EQ(normal.ImgBK().Picture(), Background("Voltage.bmp"));
  EXPECT_EQ(normal.Window().ClientSize(), (ui::Size{627, 641}));
  EXPECT_EQ(normal.Window().Position(), (ui::Point{194, 0}));
  ASSERT_NE(normal.CloseButton(), nullptr);
  EXPECT_EQ(normal.CloseButton()->Bounds(), (ui::Rect{586, 10, 30, 24}));
  for (std::size_t rail = 0; rail < 8; ++rail) {
    ASSERT_NE(normal.Display(rail), nullptr) << rail;
    EXPECT_EQ(normal.Display(rail)->Height(), 148);
  }
  EXPECT_EQ(normal.Display(TFormVol::R12V4)->Top(), 387);
  EXPECT_EQ(normal.Display(TFormVol::R5V)->Top(), 391);
  EXPECT_EQ(ShownDigits(*normal.Display(TFormVol::R12V1), normal.ILANumber()), "1210");

  TFormVol small(Environment(), kVolts, "Eng\\", 450);
  EXPECT_EQ(small.PagePath(), "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Voltage_450W\\All");
  EXPECT_EQ(small.ImgBK().Picture(), Background("Voltage_450W.bmp"));
  EXPECT_EQ(small.Display(TFormVol::R12V3), nullptr);
  EXPECT_EQ(small.Display(TFormVol::R12V4), nullptr);
  // Their readings are ignored; the others still show theirs.
  small.Refresh({12.3f, 12.3f, 99.0f, 99.0f, 5.1f, 3.3f, -12.0f, 5.0f});
  EXPECT_EQ(ShownDigits(*small.Display(TFormVol::R12V2), small.ILANumber()), "1230");
  EXPECT_EQ(ShownDigits(*small.Display(TFormVol::R5Vsb), small.ILANumber()), "500");
}

TEST_F(DetailFormTest, TheCurrentWindowTakesBackgroundAndRangesByRating) {
  struct Case {
    int rating;
    const char* background;
    float max12V;
  };
  for (const Case& c :
       {Case{550, "Current.Bmp", 25.0f}, Case{680, "Current_680w.Bmp", 30.0f},
        Case{800, "Current_800w.Bmp", 35.0f}, Case{450, "Current_450W.Bmp", 25.0f}}) {
    TFormCur form(Environment(), kAmps, "Eng\\", c.rating);
    EXPECT_EQ(form.ImgBK().Picture(), Background(c.background)) << c.rating;
    EXPECT_EQ(form.Window().ClientSize(), (ui::Size{627, 648}));
    EXPECT_EQ(form.Window().Position(), (ui::Point{195, 152}));
    ASSERT_NE(form.Display(TFormCur::C12V1), nullptr);
    EXPECT_EQ(form.Display(TFormCur::C12V1)->StatusRect().Max, c.max12V) << c.rating;
    EXPECT_EQ(form.Display(TFormCur::C5V)->StatusRect().Max, 25.0f) << c.rating;
  }
  TFormCur form(Environment(), kAmps, "Eng\\", 550);
  EXPECT_EQ(form.PagePath(), "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Current\\All");
  const std::int32_t tops[6] = {229, 229, 229, 389, 289, 389};
  for (std::size_t rail = 0; rail < 6; ++rail) {
    EXPECT_EQ(form.Display(rail)->Top(), tops[rail]) << rail;
    EXPECT_EQ(form.Display(rail)->Height(), 156) << rail;
  }
  // 40 A on the 12V1 rail of a 550 W supply lies past its 25 A: the whole bar is red.
  form.Refresh({40.0f, 10.0f, 10.0f, 10.0f, 10.0f, 10.0f});
  const skin::TImageTrackBar& rail = *form.Display(TFormCur::C12V1);
  EXPECT_TRUE(rail.OverRange());
  EXPECT_TRUE(PaintedWith(rail, ui::colors::kPureRed));
  EXPECT_EQ(rail.LastBand().height, rail.StatusRect().Length);
}

TEST_F(DetailFormTest, AtFourHundredFiftyWattsTheCurrentWindowKeepsTheSmallRailsBlank) {
  // A skin that gives the 12V3 rail digits and a bar even at 450 W.
  const std::string key = std::string("[HKEY_LOCAL_MACHINE") + kPages + "Current_450W\\All\\12V3";
  std::ofstream(folder_ / "registry.reg", std::ios::app | std::ios::binary)
      << "\r\n"
      << key << "\\Digit]\r\n"
      << "\"Left\"=\"100\"\r\n\"Top\"=\"92\"\r\n\"Width\"=\"9\"\r\n\"Height\"=\"18\"\r\n"
      << "\"Count\"=\"4\"\r\n\"DecimalCount\"=\"2\"\r\n\"isFloat\"=\"1\"\r\n\"isAttr\"="
         "\"0\"\r\n\r\n"
      << key << "\\StatusRect]\r\n"
      << "\"Left\"=\"100\"\r\n\"Top\"=\"140\"\r\n\"Length\"=\"430\"\r\n\"Caliper\"=\"24\"\r\n"
      << "\"Min\"=\"0\"\r\n\"Max\"=\"25\"\r\n\"Horizontal\"=\"0\"\r\n";
  Put("Current_450W\\All\\12V3", {{"ShowDigit", "1"}, {"ShowStatusRect", "1"}});

  TFormCur form(Environment(), kAmps, "Eng\\", 450);
  EXPECT_EQ(form.PagePath(), "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Current_450W\\All");
  form.Refresh({10.0f, 10.0f, 20.0f, 20.0f, 10.0f, 10.0f});
  for (std::size_t rail : {TFormCur::C12V3, TFormCur::C12V4}) {
    skin::TImageTrackBar* display = form.Display(rail);
    ASSERT_NE(display, nullptr) << rail;
    EXPECT_TRUE(display->DigitCells().empty()) << rail;
    EXPECT_TRUE(display->StatusRectFill().Fills().empty()) << rail;
  }
  EXPECT_EQ(ShownDigits(*form.Display(TFormCur::C12V1), form.ILANumber()), "1000");
}

TEST_F(DetailFormTest, TheNegativeRailShowsItsMagnitudeAndItsBarGrowsWithIt) {
  PlainBar("Neg12V");
  TFormVol form(Environment(), kVolts, "Eng\\", 550);
  const skin::TImageTrackBar& neg = *form.Display(TFormVol::RNeg12V);
  const skin::TImageTrackBar& positive = *form.Display(TFormVol::R12V1);
  EXPECT_EQ(ShownDigits(neg, form.ILANumber()), "1192");
  ASSERT_NE(neg.SignImage(), nullptr);
  ASSERT_NE(positive.SignImage(), nullptr);
  EXPECT_NE(neg.SignImage()->Picture(), positive.SignImage()->Picture());

  // 12.5 V below zero: 1.5 of the range's 2 V fill 300 of its 400 pixels, in green.
  form.Refresh({12.1f, 12.0f, 11.9f, 12.2f, 5.0f, 3.3f, -12.5f, 5.05f});
  EXPECT_EQ(ShownDigits(neg, form.ILANumber()), "1250");
  EXPECT_FALSE(neg.OverRange());
  EXPECT_EQ(neg.LastBand(), ui::Rect::FromEdges(40, 200, 64, 500));
  EXPECT_TRUE(PaintedWith(neg, ui::colors::kPureGreen));
}

TEST_F(DetailFormTest, ABarBelowItsRangeIsEmptyAndInAlarmLikeOneAboveIt) {
  PlainBar("12V1");
  TFormVol form(Environment(), kVolts, "Eng\\", 550);
  const skin::TImageTrackBar& bar = *form.Display(TFormVol::R12V1);
  const auto show = [&](float volts) {
    form.Refresh({volts, 12.0f, 11.9f, 12.2f, 5.0f, 3.3f, -11.92f, 5.05f});
  };
  show(12.5f);
  EXPECT_FALSE(bar.OverRange());
  EXPECT_EQ(bar.LastBand(), ui::Rect::FromEdges(40, 200, 64, 500));
  EXPECT_TRUE(PaintedWith(bar, ui::colors::kPureGreen));

  show(10.5f);
  EXPECT_TRUE(bar.OverRange());
  EXPECT_TRUE(bar.LastBand().IsEmpty());
  EXPECT_FALSE(AnyGreen(bar));

  show(11.0f);  // the bottom of the range itself is in range
  EXPECT_FALSE(bar.OverRange());

  show(13.5f);
  EXPECT_TRUE(bar.OverRange());
  EXPECT_EQ(bar.LastBand(), ui::Rect::FromEdges(40, 100, 64, 500));
  EXPECT_TRUE(PaintedWith(bar, ui::colors::kPureRed));
}

TEST_F(DetailFormTest, AMissingRecordLeavesTheBackgroundAlone) {
  // A position bar switched on without its group: that record cannot be read.
  Put("Voltage\\All\\5V", {{"ShowPosBar", "1"}});
  TFormVol form(Environment(), kVolts, "Eng\\", 550);
  EXPECT_EQ(form.ImgBK().Picture(), Background("Voltage.bmp"));
  EXPECT_EQ(form.CloseButton(), nullptr);
  for (std::size_t rail = 0; rail < 8; ++rail) EXPECT_EQ(form.Display(rail), nullptr) << rail;
}

TEST_F(DetailFormTest, CloseHidesTheWindowAndTheBackgroundDragsIt) {
  TFormVol vol(Environment(), kVolts, "Eng\\", 550);
  TFormCur cur(Environment(), kAmps, "Eng\\", 550);
  for (DetailForm* form : {static_cast<DetailForm*>(&vol), static_cast<DetailForm*>(&cur)}) {
    ui::Window& window = form->Window();
    form->Show();
    const ui::Point title{300, 40};
    window.InputMouseDown(ui::MouseButton::Right, title);
    window.InputMouseMove(ui::Point{310, 45});
    window.InputMouseUp(ui::MouseButton::Right, ui::Point{310, 45});
    EXPECT_EQ(backend_.SystemMoves(window), 0) << "only the left button drags";

    window.InputMouseDown(ui::MouseButton::Left, title);
    EXPECT_TRUE(form->Dragging());
    window.InputMouseMove(ui::Point{310, 45});
    EXPECT_EQ(backend_.SystemMoves(window), 1);
    window.InputMouseUp(ui::MouseButton::Left, ui::Point{310, 45});
    EXPECT_FALSE(form->Dragging());

    const ui::Rect& b = form->CloseButton()->Bounds();
    const ui::Point p{b.left + b.width / 2, b.top + b.height / 2};
    window.InputMouseMove(p);
    window.InputMouseDown(ui::MouseButton::Left, p);
    window.InputMouseUp(ui::MouseButton::Left, p);
    EXPECT_FALSE(window.Visible());
    form->Show();
    EXPECT_TRUE(window.Visible());
  }
}

}  // namespace
}  // namespace detail
