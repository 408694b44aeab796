// The configuration page of the real main window, headless, on the simulated PSU: the fan-speed
// and voltage sub-pages, OK and Cancel, what reaches the wire and what reaches the settings file.
#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <locale>
#include <sstream>

#include "device/trace_log.h"
#include "device/tracing_hid_bus.h"
#include "mainwindow/window_messages.h"
#include "pages/config_page.h"
#include "platform/registry/registry.h"
#include "platform/ui/synthetic_mouse.h"
#include "sim/scenario.h"
#include "skin/skin_path.h"
#include "support/form_main_fixture.h"
#include "support/refusing_hid_bus.h"

namespace mainwindow::testing {
namespace {

using core::TempUnit;
using pages::FanSelector;
using pages::FanSpeedPage;
using settings::FanMode;

constexpr const char* kOk = "New Value Setting OK!";
constexpr const char* kVoltsFail =
    "Please Enter Voltage Number Between (4.0 - 12.0)!\n\nNew Value Setting FAIL!";
constexpr const char* kRegConfig = "SOFTWARE\\NORVANE\\Quelta\\Config\\";

class ConfigPageTest : public FormMainTest {
 protected:
  ~ConfigPageTest() override {
    form_.reset();  // the worker uses the tracing bus
  }

  // Starts the window on a tracing bus, lets the first poll finish and rolls the
  // configuration page out.
  // With `refusing`, the handles' writes of chosen command codes can be made to fail.
  TFormMain& Open(sim::Scenario scenario = {}, bool refusing = false) {
    MakeBus(std::move(scenario));
    log_ = device::TraceLog::Open(scratch_.Path() / "trace.txt").log;
    tracing_ = std::make_unique<device::TracingHidBus>(*bus_, *log_);
    if (refusing) refusing_ = std::make_unique<device::RefusingHidBus>(*tracing_);
    TFormMain& form =
        Create(refusing ? static_cast<platform::HidBus*>(refusing_.get()) : tracing_.get());
    RunCycle(1);
    RollTo(pages::Page::kConfig);
    return form;
  }

  void RollTo(pages::Page page) {
    Click(form_->Bar()->Tab(page));
    for (int tick = 0; tick < 30; ++tick) loop_.AdvanceBy(std::chrono::milliseconds(100));
    ASSERT_FALSE(form_->Roll()->TimerDown().Enabled());
  }

  pages::ConfigPage& Page() { return *form_->Config(); }
  FanSpeedPage& Fan() { return Page().Fan(); }
  template <typename Code>
  skin::TImageLabel& FanButton(Code code) {
    return *Fan().ButtonOf(code);
  }

  // The settings file from a copy of the factory file with one text replaced.
  void UseFactoryWith(const std::string& from, const std::string& to) {
    std::ifstream in(BinFolder() / "quelta-factory.reg");
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    const std::size_t at = all.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    all.replace(at, from.size(), to);
    const auto file = scratch_.Path() / "edited-factory.reg";
    std::ofstream(file) << all;
    UseSettingsFrom(file);
  }

  std::string Saved(const std::string& key, const std::string& value) {
    platform::RegFileStore store(settingsFile_);
    auto registry = store.Open(platform::RegistryAccess::Read);
    auto opened = registry->OpenKey(kRegConfig + key);
    return opened ? opened->ReadString(value) : "<no key>";
  }
  std::string SettingsText() const {
    std::ifstream in(settingsFile_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Lets the worker run its next cycle (the command placed meanwhile).
  void RunCommandCycle() { RunCycle(2); }

  // The reports written to the PSU with a command byte, as "00 09 5D 28 A0 01".
  std::vector<std::string> Written(const std::string& command) const {
    std::ifstream in(scratch_.Path() / "trace.txt");
    std::vector<std::string> lines;
    std::string line;
    const std::string wanted = "M W 6 00 " + command;
    while (std::getline(in, line)) {
      const std::size_t at = line.find(' ');
      if (at != std::string::npos && line.compare(at + 1, wanted.size(), wanted) == 0) {
        lines.push_back(line.substr(at + 7));
      }
    }
    return lines;
  }

  std::shared_ptr<const ui::Bitmap> SkinPicture(const std::string& file) {
    return app_.Bitmaps().Load(skin::ResolveSkinPath(BinFolder(), "Skin\\Eng\\" + file));
  }

  void PressIn(ui::Control& control) {
    const ui::Rect& b = control.Bounds();
    form_->Window().InputMouseDown(ui::MouseButton::Left, ui::Point{b.left + 2, b.top + 2});
    form_->Window().InputMouseUp(ui::MouseButton::Left, ui::Point{b.left + 2, b.top + 2});
  }

  std::unique_ptr<device::TraceLog> log_;
  std::unique_ptr<device::TracingHidBus> tracing_;
  std::unique_ptr<device::RefusingHidBus> refusing_;
};

TEST_F(ConfigPageTest, CurveDraggedToTheTopLeftAndBackSetsBothEndsOfTheRange) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  EXPECT_EQ(fan.CurrentFanMode(), FanMode::kNormal);
  EXPECT_FALSE(fan.EditStartVol().Enabled()) << "a preset cannot be edited";
  ui::DrawingArea& curve = fan.LabelCurve();
  ASSERT_TRUE(curve.Visible());
  const ui::Point origin{curve.Left(), curve.Top()};

  ui::SyntheticMouse mouse(form.Window());
  mouse.MoveTo(ui::Point{origin.x + 40, origin.y + 40});
  mouse.Press();  // the press turns the mode to Manual
  EXPECT_EQ(fan.CurrentFanMode(), FanMode::kManual);
  EXPECT_EQ(form.Fans().PSUFanMode, FanMode::kManual);
  mouse.MoveTo(origin);
  EXPECT_EQ(fan.EditStartVol().Text(), "12.0");
  EXPECT_EQ(fan.EditRisingTemp().Text(), "25");
  EXPECT_EQ(fan.CurveKnee(), (ui::Point{1, 5}));
  EXPECT_EQ(curve.Canvas().pixelColor(0, 5), QColor(255, 0, 0));
  EXPECT_EQ(curve.Canvas().pixelColor(4, 2), QColor(255, 0, 0)) << "the knee's square";
  EXPECT_EQ(fan.FSVol()->MarkerImage().Top(), 488 - 85);
  EXPECT_EQ(fan.FSTemp()->MarkerImage().Left(), 387);
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Vol, "12.0");
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "25");

  mouse.MoveTo(ui::Point{origin.x + 158, origin.y + 90});
  mouse.MoveTo(ui::Point{origin.x + 159, origin.y + 91});  // outside: nothing changes
  mouse.Release();
  EXPECT_EQ(fan.EditStartVol().Text(), "4.0");
  EXPECT_EQ(fan.EditRisingTemp().Text(), "74");
  EXPECT_EQ(fan.CurveKnee(), (ui::Point{157, 89}));
  EXPECT_EQ(curve.Canvas().pixelColor(0, 5), QColor(192, 220, 192)) << "the old curve is gone";
  EXPECT_EQ(fan.FSVol()->MarkerImage().Top(), 488);
  EXPECT_EQ(fan.FSTemp()->MarkerImage().Left(), 387 + 157);
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Vol, "4.0");
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "74");
  EXPECT_FALSE(fan.CurveDragging());
}

TEST_F(ConfigPageTest, FahrenheitShowsConvertsAndChecksInItsOwnUnitAndKeepsItsPicture) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  form.Fans().PSUFanPresets[settings::kPsuNormal].Temp = "45";
  Click(FanButton(TempUnit::kFahrenheit));
  EXPECT_EQ(form.PageImages().ImgConfig().Picture(), SkinPicture("CFanSpeed_F.bmp"));
  EXPECT_EQ(fan.EditRisingTemp().Text(), "113");

  Click(FanButton(FanMode::kManual));  // PSU manual curve 6.0 / 40 C
  EXPECT_EQ(fan.EditRisingTemp().Text(), "104");
  // 166 and 167 lie above 74 C: refused by the edit check as by OK.
  for (const char* refused : {"170", "166", "76"}) {
    fan.EditRisingTemp().InputText(refused);
    PressIn(fan.EditStartVol());
    EXPECT_EQ(Messages().back(), "Please Enter Number Between (77 - 165)!") << refused;
    EXPECT_EQ(fan.EditRisingTemp().Text(), "104") << "put back from the curve";
  }
  const std::size_t shown = Messages().size();
  fan.EditRisingTemp().InputText("165");
  PressIn(fan.EditStartVol());
  // 165 F is 73.889 C, taken as whole 73 C, which the edit shows as 163.4 F.
  EXPECT_EQ(fan.FanPageValues().celsius, 73.0f);
  EXPECT_EQ(fan.EditRisingTemp().Text(), "163");
  fan.EditRisingTemp().InputText("77");
  PressIn(fan.EditStartVol());
  EXPECT_EQ(Messages().size(), shown);
  EXPECT_EQ(fan.FanPageValues().celsius, 25.0f);
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "25") << "stored in Celsius";

  // OK takes 77 F as 25 C.
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  RunCommandCycle();
  EXPECT_EQ(Written("09"), (std::vector<std::string>{"00 09 5D 19 A0 01"}));
  // An empty temperature is 0 F: OK refuses it in the page's unit.
  fan.EditRisingTemp().InputText("");
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(),
            "Please Enter Number Between (77 - 165)!\n\nNew Value Setting FAIL!");
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "25");

  // Cancel, a roll away and back, and a restore from the tray keep the Fahrenheit picture.
  Click(*Page().Button("Cancel"));
  EXPECT_EQ(form.PageImages().ImgConfig().Picture(), SkinPicture("CFanSpeed_F.bmp"));
  RollTo(pages::Page::kMonitor);
  RollTo(pages::Page::kConfig);
  EXPECT_EQ(form.PageImages().ImgConfig().Picture(), SkinPicture("CFanSpeed_F.bmp"));
  form.TrayIcon1().Minimize();
  form.TrayIcon1Restore();
  EXPECT_EQ(form.PageImages().ImgConfig().Picture(), SkinPicture("CFanSpeed_F.bmp"));
  Click(FanButton(TempUnit::kCelsius));
  EXPECT_EQ(form.PageImages().ImgConfig().Picture(), SkinPicture("CFanSpeed_C.bmp"));
  EXPECT_EQ(fan.EditRisingTemp().Text(), "25");
}

TEST_F(ConfigPageTest, EditChecksRefuseBadTextsAndPutThePresetBackWithoutStoringThem) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  Click(FanButton(FanMode::kManual));  // PSU manual curve 6.0 / 40
  const settings::FanPreset& manual = form.Fans().PSUFanPresets[settings::kPsuManual];
  struct Case {
    bool startVolts;
    const char* text;
    const char* message;  // empty: accepted
  };
  const Case cases[] = {
      {true, "abc", "Please Enter Digitial Number!"},
      {true, "7.", "Please Enter Digitial Number!"},
      {true, "3.9", "Please Enter Number Between (4.0 - 12.0)!"},
      {true, "4.0", ""},
      {true, "12.0", ""},
      {true, "12.1", "Please Enter Number Between (4.0 - 12.0)!"},
      {false, "24", "Please Enter Number Between (25 - 74)!"},
      {false, "25", ""},
      {false, "74", ""},
      {false, "75", "Please Enter Number Between (25 - 74)!"},
      {false, "4O", "Please Enter Digitial Number!"},
  };
  for (const Case& c : cases) {
    ui::Edit& edit = c.startVolts ? fan.EditStartVol() : fan.EditRisingTemp();
    ui::Edit& other = c.startVolts ? fan.EditRisingTemp() : fan.EditStartVol();
    const std::size_t before = Messages().size();
    edit.InputText(c.text);
    PressIn(other);
    if (*c.message) {
      ASSERT_EQ(Messages().size(), before + 1) << c.text;
      EXPECT_EQ(Messages().back(), c.message) << c.text;
      EXPECT_EQ(edit.Text(), c.startVolts ? "6.0" : "40") << c.text;
      EXPECT_EQ(c.startVolts ? manual.Vol : manual.Temp, c.startVolts ? "6.0" : "40") << c.text;
    } else {
      EXPECT_EQ(Messages().size(), before) << c.text;
      EXPECT_EQ(c.startVolts ? manual.Vol : manual.Temp, c.text);
    }
    edit.InputText(c.startVolts ? "6.0" : "40");
    PressIn(other);
  }

  // An empty edit is not checked; the curve is drawn for 0 V, below the area, and the empty
  // text is not stored.
  const std::size_t before = Messages().size();
  fan.EditStartVol().InputText("");
  PressIn(fan.EditRisingTemp());
  EXPECT_EQ(Messages().size(), before);
  EXPECT_EQ(fan.FanPageValues().volts, 0.0f);
  EXPECT_EQ(fan.CurveKnee(), (ui::Point{48, 132}));
  EXPECT_EQ(manual.Vol, "6.0");

  // OK then refuses 0 V and sends and saves nothing.
  const std::string file = SettingsText();
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kVoltsFail);
  RunCommandCycle();
  EXPECT_TRUE(Written("09").empty());
  EXPECT_EQ(SettingsText(), file);
}

TEST_F(ConfigPageTest, OkTakesWhatIsTypedSendsItAndSavesIt) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  Click(FanButton(FanMode::kManual));
  // Typed, never left: OK reads the edits itself.
  fan.EditStartVol().InputText("9.0");
  fan.EditRisingTemp().InputText("50");
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  RunCommandCycle();
  // 9.0 x 256 / (5 x 3.3) = 139.6; 50 C.
  EXPECT_EQ(Written("09"), (std::vector<std::string>{"00 09 8B 32 A0 01"}));
  EXPECT_EQ(Saved("FanSpeed\\PSUFan", "Mode"), "604");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Manual", "Vol"), "9.0");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Manual", "Temp"), "50");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Manual", "DefaultVol"), "6.0");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Silent", "Vol"), "4.5");
  EXPECT_EQ(Saved("FanSpeed\\SystemFan", "Mode"), "602");
  EXPECT_EQ(Saved("Voltage", "12V"), "12.00");
  // OK now looks used, Cancel ready; Cancel turns them round.
  using Face = skin::TImageLabel::Face;
  skin::TImageLabel& ok = *Page().Button("OK");
  skin::TImageLabel& cancel = *Page().Button("Cancel");
  EXPECT_EQ(ok.Picture(Face::Leave), ok.Picture(Face::Disabled));
  EXPECT_NE(cancel.Picture(Face::Leave), cancel.Picture(Face::Disabled));
  Click(cancel);
  EXPECT_NE(ok.Picture(Face::Leave), ok.Picture(Face::Disabled));
  EXPECT_EQ(cancel.Picture(Face::Leave), cancel.Picture(Face::Disabled));
  (void)form;
}

TEST_F(ConfigPageTest, WholeDegreesAreTruncatedAlikeInTheEditTheCommandAndTheStore) {
  TFormMain& form = Open();
  form.Fans().PSUFanPresets[settings::kPsuManual].Temp = "45.9";
  Click(FanButton(FanMode::kManual));
  EXPECT_EQ(Fan().EditRisingTemp().Text(), "45");
  Click(*Page().Button("OK"));
  RunCommandCycle();
  EXPECT_EQ(Written("09"), (std::vector<std::string>{"00 09 5D 2D A0 01"}));
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Manual", "Temp"), "45");

  // Typed fractions, taken by OK: 25.9 C is 25 C everywhere.
  Fan().EditRisingTemp().InputText("25.9");
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  EXPECT_EQ(Fan().EditRisingTemp().Text(), "25");
  RunCycle(3);
  EXPECT_EQ(Written("09").back(), "00 09 5D 19 A0 01");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Manual", "Temp"), "25");

  // 102 F is 38.889 C: 38 C is sent and stored (rounding would give 39), and the edit shows
  // 38 C in Fahrenheit, 100.4, as 100. Read back, the stored 38 shows as 100 again.
  Click(FanButton(TempUnit::kFahrenheit));
  Fan().EditRisingTemp().InputText("102");
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  EXPECT_EQ(Fan().EditRisingTemp().Text(), "100");
  RunCycle(4);
  EXPECT_EQ(Written("09").back(), "00 09 5D 26 A0 01");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan\\Manual", "Temp"), "38");
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "38");
  Click(*Page().Button("Cancel"));
  EXPECT_EQ(Fan().EditRisingTemp().Text(), "100");
}

TEST_F(ConfigPageTest, EachFanShowsItsOwnModeAndSensorCurveAndOnlyTheUserPicksTheSensor) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  settings::FanSettings& fans = form.Fans();
  fans.SystemFanMode = FanMode::kManual;
  fans.SystemFanSensor = 3;
  fans.SystemFanPresets[settings::kSysManualT3] = {"7.0", "35", "", ""};
  Click(FanButton(FanMode::kManual));  // the PSU fan in Manual
  Click(FanButton(FanSelector::kSystem));
  EXPECT_EQ(fan.CurrentFanMode(), FanMode::kManual);
  EXPECT_EQ(fan.EditStartVol().Text(), "7.0");
  EXPECT_EQ(fan.EditRisingTemp().Text(), "35");
  EXPECT_TRUE(fan.CBTempSensor().Enabled());
  EXPECT_EQ(fan.CBTempSensor().ItemIndex(), 3);

  Click(FanButton(FanSelector::kPsu));  // the page selects TS_PSU for the PSU fan itself
  EXPECT_EQ(fan.CBTempSensor().ItemIndex(), 0);
  EXPECT_FALSE(fan.CBTempSensor().Enabled());
  EXPECT_EQ(fans.SystemFanSensor, 3) << "a selection by the program runs no action";
  EXPECT_EQ(fan.EditStartVol().Text(), "6.0");

  Click(FanButton(FanSelector::kSystem));
  Click(FanButton(FanMode::kSilent));  // Silent: 5.0 / 50, the mode of the system fan only
  EXPECT_EQ(fans.SystemFanMode, FanMode::kSilent);
  EXPECT_EQ(fans.PSUFanMode, FanMode::kManual);
  EXPECT_EQ(fan.EditStartVol().Text(), "5.0");
  Click(FanButton(FanMode::kManual));
  fan.CBTempSensor().InputSelect(2);  // T2: 6.0 / 40
  EXPECT_EQ(fans.SystemFanSensor, 2);
  EXPECT_EQ(fan.EditStartVol().Text(), "6.0");
  Click(*Page().Button("OK"));
  RunCommandCycle();
  EXPECT_EQ(Written("0A"), (std::vector<std::string>{"00 0A 5D 28 A4 01"}));
  EXPECT_EQ(Saved("FanSpeed\\SystemFan\\Manual", "Mode"), "2");
}

// The page's curve value names the sensor it follows, whoever changed it: the PSU fan follows the
// PSU's own, the system fan the sensor picked, through a pick, a drag and a switch of fan.
TEST_F(ConfigPageTest, TheCurveValueCarriesTheSensorOfTheSelectedFan) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  form.Fans().SystemFanSensor = 3;
  Click(FanButton(FanSelector::kSystem));
  EXPECT_EQ(fan.FanPageValues().sensor, 3) << "as loaded";
  Click(FanButton(FanMode::kManual));
  for (const int sensor : {1, 4, 0, 2}) {
    fan.CBTempSensor().InputSelect(sensor);
    EXPECT_EQ(fan.FanPageValues().sensor, sensor) << "picked";
  }
  ui::DrawingArea& curve = fan.LabelCurve();
  ui::SyntheticMouse mouse(form.Window());
  mouse.MoveTo(ui::Point{curve.Left() + 40, curve.Top() + 30});
  mouse.Press();
  mouse.MoveTo(ui::Point{curve.Left() + 60, curve.Top() + 45});
  mouse.Release();
  EXPECT_EQ(fan.EditStartVol().Text(), "8.0") << "45 of 90 pixels down: half of 4 .. 12 V";
  EXPECT_EQ(fan.FanPageValues().sensor, 2) << "dragged";
  Click(FanButton(FanSelector::kPsu));
  EXPECT_EQ(fan.FanPageValues().sensor, 0) << "the PSU fan";
  Click(FanButton(FanSelector::kSystem));
  EXPECT_EQ(fan.FanPageValues().sensor, 2) << "back to the system fan";
  Click(*Page().Button("OK"));
  RunCommandCycle();
  ASSERT_EQ(Written("0A").size(), 1u);
  EXPECT_EQ(Written("0A").front().substr(12, 2), "A4") << "T2";
}

// A typed text is judged alike whether the user leaves the edit or clicks OK straight away
// (OK once took the start voltage first and judged a temperature it had already rewritten),
// and a marker step is the page's value at once, before its message goes round the loop.
TEST_F(ConfigPageTest, TypedAndDraggedValuesDoNotDependOnTheOrderTheyAreTaken) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  Click(FanButton(FanMode::kManual));  // PSU manual curve 6.0 / 40 C
  struct Case {
    TempUnit unit;
    const char* typed;
    const char* refusal;
    const char* putBack;
  };
  for (const Case& c :
       {Case{TempUnit::kCelsius, "74.5", "Please Enter Number Between (25 - 74)!", "40"},
        Case{TempUnit::kFahrenheit, "165.5", "Please Enter Number Between (77 - 165)!", "104"}}) {
    Click(FanButton(c.unit));
    fan.EditRisingTemp().InputText(c.typed);
    PressIn(fan.EditStartVol());
    EXPECT_EQ(Messages().back(), c.refusal) << c.typed;
    EXPECT_EQ(fan.EditRisingTemp().Text(), c.putBack);
    const std::size_t shown = Messages().size();
    fan.EditRisingTemp().InputText(c.typed);
    Click(*Page().Button("OK"));
    ASSERT_GT(Messages().size(), shown) << c.typed;
    EXPECT_EQ(Messages()[shown], c.refusal) << "OK judges the text as typed: " << c.typed;
    EXPECT_EQ(fan.EditRisingTemp().Text(), c.putBack);
    EXPECT_EQ(fan.FanPageValues().celsius, 40.0f);
  }

  Click(FanButton(TempUnit::kCelsius));
  skin::TImageTrackBar& vol = *fan.FSVol();
  ui::SyntheticMouse mouse(form.Window());
  const ui::Point from{vol.MarkerImage().Left() + 2, vol.MarkerImage().Top() + 2};
  mouse.MoveTo(from);
  mouse.Press();
  mouse.MoveTo(ui::Point{from.x, from.y - 10});  // 21 + 10 pixels up: 4 + 31 x 8 / 85 = 6.918
  mouse.Release();
  EXPECT_EQ(fan.EditStartVol().Text(), "6.9");
  EXPECT_EQ(fan.FanPageValues().volts, 6.9f) << "taken before message 2025 has run";
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Vol, "6.9");
}

TEST_F(ConfigPageTest, DraggedFahrenheitReachesTheEditInFahrenheitAndIsReadBackSo) {
  TFormMain& form = Open();
  FanSpeedPage& fan = Fan();
  Click(FanButton(TempUnit::kFahrenheit));
  Click(FanButton(FanMode::kManual));  // 6.0 / 40 C: the marker at 387 + 48
  skin::TImageTrackBar& temp = *fan.FSTemp();
  ASSERT_EQ(temp.MarkerImage().Left(), 435);
  ui::SyntheticMouse mouse(form.Window());
  const ui::Point from{temp.MarkerImage().Left() + 2, temp.MarkerImage().Top() + 2};
  mouse.MoveTo(from);
  mouse.Press();
  mouse.MoveTo(ui::Point{from.x + 10, from.y});  // 25 + 58 x 49 / 157 = 43.10 C = 109.58 F
  mouse.Release();
  EXPECT_EQ(fan.EditRisingTemp().Text(), "109");
  loop_.RunPending();  // message 2025
  // 109 F is 42.778 C, taken as whole 42 C: 107.6 F in the edit.
  EXPECT_EQ(fan.FanPageValues().celsius, 42.0f);
  EXPECT_EQ(fan.EditRisingTemp().Text(), "107");
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "42");

  // The same message from outside applies what is typed.
  fan.EditStartVol().InputText("8.0");
  fan.EditRisingTemp().InputText("122");
  form.Window().DeliverMessage(ui::Message{kFanCurveApplyMessage, 0, 0});
  EXPECT_EQ(fan.FanPageValues().volts, 8.0f);
  EXPECT_EQ(fan.FanPageValues().celsius, 50.0f);
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Vol, "8.0");
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Temp, "50");

  // On another page the message moves the marker only within the rolled-away page, and
  // changes no curve.
  RollTo(pages::Page::kAlarm);
  EXPECT_EQ(FanButton(FanSelector::kPsu).Top(), 112 + 600);
  fan.EditStartVol().SetText("12.0");
  form.Window().DeliverMessage(ui::Message{kFanCurveApplyMessage, 0, 0});
  EXPECT_EQ(fan.FSVol()->MarkerImage().Top(), 403 + 600);
  EXPECT_EQ(form.Fans().PSUFanPresets[settings::kPsuManual].Vol, "8.0");
  RollTo(pages::Page::kConfig);
  EXPECT_EQ(fan.FSVol()->MarkerImage().Top(), 488 - 42) << "8.0 V again";
}

// A locale that writes numbers with a decimal comma, for as long as it lives.
class CommaLocale {
 public:
  CommaLocale() : previous_(std::locale::global(std::locale(std::locale::classic(), new Comma))) {}
  ~CommaLocale() { std::locale::global(previous_); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

 private:
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  std::locale previous_;
};

// Drags a trim display's marker so that it ends `fromBottom` pixels above its bar's bottom.
void DragTrimMarker(ui::Window& window, skin::TImageTrackBar& display, int fromBottom) {
  const skin::TImageTrackBar::StatusRectGroup& r = display.StatusRect();
  const ui::Image& marker = display.MarkerImage();
  const ui::Point from{marker.Left() + 2, marker.Top() + 2};
  ui::SyntheticMouse mouse(window);
  mouse.MoveTo(from);
  mouse.Press();
  mouse.MoveTo(ui::Point{from.x, from.y + (r.Top + r.Length - fromBottom) - marker.Top()});
  mouse.Release();
}

TEST_F(ConfigPageTest, VoltageDragStoresTheTargetAndOkTrimsAllThreeRails) {
  const CommaLocale comma;  // numbers are written with a point whatever the locale
  TFormMain& form = Open();
  Click(*Page().Button("Vol"));
  EXPECT_EQ(form.PageImages().ImgConfig().Picture(), SkinPicture("CVol.bmp"));
  EXPECT_FALSE(FanButton(FanMode::kPerformance).Visible());
  EXPECT_FALSE(Fan().LabelCurve().Visible());
  pages::VoltagePage& voltage = Page().Voltage();
  EXPECT_EQ(voltage.Display(0)->Value(), 12.0f);
  EXPECT_EQ(voltage.Display(1)->Value(), 5.0f);
  EXPECT_EQ(voltage.Display(2)->Value(), 3.3f);
  EXPECT_TRUE(voltage.Display(1)->MarkerImage().Visible());

  // 5V spans 4.75 .. 5.25 over 270 pixels: 189 pixels up is 5.10.
  DragTrimMarker(form.Window(), *voltage.Display(1), 189);
  EXPECT_EQ(form.Voltages().Target5V, "5.10");
  EXPECT_EQ(form.Voltages().Target12V, "12.00");
  EXPECT_EQ(form.Voltages().Target33V, "3.30");

  Click(*Page().Button("Cancel"));  // the finished drag stays
  EXPECT_FLOAT_EQ(voltage.Display(1)->Value(), 5.1f);

  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  RunCommandCycle();
  // 12V, then 5V stepping up, then 3.3V.
  ASSERT_FALSE(Written("07").empty());
  ASSERT_FALSE(Written("06").empty());
  ASSERT_FALSE(Written("08").empty());
  EXPECT_EQ(Written("06").front(), "00 06 10 00 00 00");
  EXPECT_EQ(Saved("Voltage", "5V"), "5.10");
  EXPECT_EQ(Saved("Voltage", "12V"), "12.00");
  EXPECT_EQ(Saved("Voltage", "33V"), "3.30");
  EXPECT_EQ(Saved("Voltage", "Default5V"), "5.00");

  // The tray restore shows the voltage sub-page again.
  form.TrayIcon1().Minimize();
  form.TrayIcon1Restore();
  EXPECT_TRUE(voltage.Display(1)->MarkerImage().Visible());
  EXPECT_FALSE(FanButton(FanMode::kPerformance).Visible());
}

// OK trims toward the targets as loaded or dragged; what a display happens to draw besides (a
// value written into it by anything but a finished drag) is not a target.
TEST_F(ConfigPageTest, OkReadsTheTrimTargetsNotWhatTheDisplaysDraw) {
  TFormMain& form = Open();
  Click(*Page().Button("Vol"));
  pages::VoltagePage& voltage = Page().Voltage();
  DragTrimMarker(form.Window(), *voltage.Display(1), 189);  // 5.10
  const float drawn[] = {11.9f, 5.2f, 3.4f};
  for (std::size_t rail = 0; rail < 3; ++rail) {
    voltage.Display(rail)->ShowValue(drawn[rail], false, false);
    voltage.Display(rail)->SetPositionValue(drawn[rail]);
  }
  const pages::VoltagePage::Trim trim = voltage.TrimTargets();
  EXPECT_EQ(trim.targets[0], 12.0f);
  EXPECT_FLOAT_EQ(trim.targets[1], 5.1f);
  EXPECT_EQ(trim.targets[2], 3.3f);
  EXPECT_EQ(trim.enabled, (std::array<bool, 3>{true, true, true}));
  EXPECT_TRUE(trim.skipped.empty());

  // A target stored out of its range stays out of it, whatever is drawn.
  form.Voltages().Target12V = "13.00";
  Click(*Page().Button("Cancel"));  // shows the sub-page again from the settings
  voltage.Display(0)->ShowValue(12.0f, false, false);
  EXPECT_EQ(voltage.TrimTargets().targets[0], 13.0f);
  EXPECT_EQ(voltage.TrimTargets().enabled, (std::array<bool, 3>{false, true, true}));
  EXPECT_EQ(voltage.TrimTargets().skipped, std::vector<std::string>{"12V"});
}

// The sub-pages keep no copy of the values they edit: a drag writes the session's, and OK sends
// what the session holds when it is clicked, whoever wrote it last. A rail switched off after
// the drag is left untrimmed, and a sensor named after the drag is the one the curve follows.
TEST_F(ConfigPageTest, OkSendsTheEditedValuesTheSessionHoldsAtThatMoment) {
  TFormMain& form = Open();
  Click(*Page().Button("Vol"));
  DragTrimMarker(form.Window(), *Page().Voltage().Display(1), 189);  // 5.10
  settings::TrimTargets& trims = form.Session().Trims();
  EXPECT_EQ(trims.targets[0], 12.0f);
  EXPECT_FLOAT_EQ(trims.targets[1], 5.1f);
  EXPECT_EQ(trims.targets[2], 3.3f);
  EXPECT_EQ(trims.enabled, (std::array<bool, 3>{true, true, true}));
  trims.enabled[2] = false;
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), "New Value Setting OK!\n\n3.3V target not valid: not trimmed");
  RunCommandCycle();
  EXPECT_EQ(Written("06").front(), "00 06 10 00 00 00");
  EXPECT_FALSE(Written("07").empty());
  EXPECT_TRUE(Written("08").empty()) << "3.3V was switched off in the session";

  Click(*Page().Button("FanSpeed"));
  Click(FanButton(FanSelector::kSystem));
  Click(FanButton(FanMode::kManual));
  Fan().CBTempSensor().InputSelect(2);
  const ui::DrawingArea& curve = Fan().LabelCurve();
  ui::SyntheticMouse mouse(form.Window());
  mouse.MoveTo(ui::Point{curve.Left() + 40, curve.Top() + 30});
  mouse.Press();
  mouse.MoveTo(ui::Point{curve.Left() + 60, curve.Top() + 45});
  mouse.Release();
  EXPECT_EQ(form.Session().FanCurve().volts, 8.0f) << "the drag wrote the session's value";
  EXPECT_EQ(form.Session().FanCurve().sensor, 2);
  form.Session().FanCurve().sensor = 4;
  Click(*Page().Button("OK"));
  RunCycle(3);
  ASSERT_EQ(Written("0A").size(), 1u);
  EXPECT_EQ(Written("0A").front().substr(12, 2), "A8") << "T4";
}

TEST_F(ConfigPageTest, ARailWithoutAValidTargetIsNotTrimmedAndOkSaysSo) {
  UseFactoryWith("\"33V\"=\"3.30\"", "\"33V\"=\"\"");
  TFormMain& form = Open();
  Click(*Page().Button("Vol"));
  pages::VoltagePage& voltage = Page().Voltage();
  EXPECT_EQ(voltage.Display(2)->Value(), 0.0f);
  DragTrimMarker(form.Window(), *voltage.Display(1), 189);
  EXPECT_EQ(form.Voltages().Target33V, "0.00");
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), "New Value Setting OK!\n\n3.3V target not valid: not trimmed");
  RunCommandCycle();
  EXPECT_FALSE(Written("07").empty());
  EXPECT_FALSE(Written("06").empty());
  EXPECT_TRUE(Written("08").empty()) << "3.3V never trimmed toward 0 V";
}

TEST_F(ConfigPageTest, TheWorkerRefusesToTrimOnReadingsItCannotTrustAndTheWindowSaysWhy) {
  // Voltage words of all zeros: every rail reads 0 V, however valid the targets.
  Open(sim::ParseScenario(R"({"monitor": {"replies": {
      "21": "00 00 00 00 00 00 00 00", "22": "00 00 00 00 00 00 00 00"}}})"));
  Click(*Page().Button("Vol"));
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), "New Value Setting OK!");
  RunCommandCycle();
  EXPECT_TRUE(RunUntil([this] {
    return Messages().back() == "3.3V reading 0.000 V is not within 10% of 3.3 V: not trimmed";
  }));
  const auto& shown = Messages();
  EXPECT_NE(std::find(shown.begin(), shown.end(),
                      "12V reading 0.000 V is not within 10% of 12.0 V: not trimmed"),
            shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(),
                      "5V reading 0.000 V is not within 10% of 5.0 V: not trimmed"),
            shown.end());
  EXPECT_TRUE(Written("07").empty());
  EXPECT_TRUE(Written("06").empty());
  EXPECT_TRUE(Written("08").empty());
}

// OK places the curve and saves it at once; when the worker's write of it then does not reach
// the PSU, the page says so with the cause, for either fan. A curve that went through says
// nothing more.
TEST_F(ConfigPageTest, AFanCurveWhoseWriteDoesNotReachThePsuIsReportedAfterOk) {
  Open({}, true);
  const std::pair<FanSelector, std::string> fans[] = {{FanSelector::kPsu, "PSU"},
                                                      {FanSelector::kSystem, "System"}};
  std::size_t cycle = 2;
  for (const auto& [fanButton, name] : fans) {
    Click(FanButton(fanButton));
    Click(FanButton(FanMode::kManual));
    Fan().EditStartVol().InputText("9.0");
    Fan().EditRisingTemp().InputText("50");
    refusing_->Refuse(fanButton == FanSelector::kPsu ? 0x09 : 0x0A);
    Click(*Page().Button("OK"));
    EXPECT_EQ(Messages().back(), kOk);
    RunCycle(cycle++);
    const std::string failed =
        name + " fan curve not set: the command did not reach the PSU\n\nNew Value Setting FAIL!";
    EXPECT_TRUE(RunUntil([&] { return Messages().back() == failed; })) << Messages().back();
  }
  EXPECT_TRUE(Written("09").empty());
  EXPECT_TRUE(Written("0A").empty());

  refusing_->Accept(0x0A);
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kOk);
  const std::size_t shown = Messages().size();
  RunCycle(cycle++);
  RunCycle(cycle++);  // a poll after it: whatever the command handed over has run
  EXPECT_EQ(Messages().size(), shown);
  EXPECT_EQ(Written("0A").size(), 1u);
}

TEST_F(ConfigPageTest, VoltageOkChecksTheFanValuesFirstAndSendsNothingWhenTheyFail) {
  TFormMain& form = Open();
  Click(FanButton(FanMode::kManual));
  Fan().EditStartVol().InputText("");
  PressIn(Fan().EditRisingTemp());
  Click(*Page().Button("Vol"));
  const std::string file = SettingsText();
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), kVoltsFail);
  RunCommandCycle();
  EXPECT_TRUE(Written("07").empty());
  EXPECT_TRUE(Written("06").empty());
  EXPECT_TRUE(Written("08").empty());
  EXPECT_EQ(SettingsText(), file);
  (void)form;
}

TEST_F(ConfigPageTest, FanExtrasShownByATabLeaveWithThePage) {
  Open();
  FanSpeedPage& fan = Fan();
  Click(*Page().Button("Vol"));
  EXPECT_FALSE(fan.EditStartVol().Visible());
  RollTo(pages::Page::kMonitor);
  RollTo(pages::Page::kConfig);  // the voltage sub-page comes back: no extras
  EXPECT_FALSE(fan.LabelCurve().Visible());
  Click(*Page().Button("FanSpeed"));
  EXPECT_TRUE(fan.EditStartVol().Visible());
  EXPECT_TRUE(fan.CBTempSensor().Visible());
  RollTo(pages::Page::kMonitor);
  EXPECT_FALSE(fan.EditStartVol().Visible());
  EXPECT_FALSE(fan.EditRisingTemp().Visible());
  EXPECT_FALSE(fan.CBTempSensor().Visible());
  EXPECT_FALSE(fan.LabelCurve().Visible());
}

TEST_F(ConfigPageTest, OkReportsFailureAndSavesNothingWhenTheDeviceIsNotReady) {
  TFormMain& form = Open();
  Click(FanButton(FanMode::kManual));
  Fan().EditStartVol().InputText("9.0");
  const std::string file = SettingsText();
  form.Ready().Clear();
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), "Device not ready!\n\nNew Value Setting FAIL!");
  EXPECT_EQ(SettingsText(), file) << "nothing saved";
}

TEST_F(ConfigPageTest, OkReportsASaveThatMissedAKey) {
  UseFactoryWith("Config\\Voltage]", "Config\\VoltageGone]");
  Open();
  Click(FanButton(FanMode::kManual));
  Click(*Page().Button("OK"));
  EXPECT_EQ(Messages().back(), "Settings could not be saved!\n\nNew Value Setting FAIL!");
  EXPECT_EQ(Saved("FanSpeed\\PSUFan", "Mode"), "604") << "what could be written was";
}

}  // namespace
}  // namespace mainwindow::testing
