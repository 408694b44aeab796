#include "preview.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <map>
#include <stdexcept>

#include "core/numbers.h"
#include "layout_table.h"
#include "paint_kit.h"
#include "preview_displays.h"
#include "skin/default_skin_places.h"
#include "skin/image_list_resources.h"
#include "skin/skin_files.h"
#include "skin_writer.h"
#include "texts.h"

namespace skingen {
namespace {

namespace fs = std::filesystem;
namespace places = skin::places;

class Composer {
 public:
  Composer(fs::path binDir, fs::path listsDir)
      : bin_(std::move(binDir)), lists_(std::move(listsDir)) {}

  // A stage of real displays over an image of the given size.
  DisplayStage Stage(const QImage& image) const {
    return DisplayStage(bin_, lists_, image.width(), image.height());
  }

  QImage Load(const std::string& stored) {
    const fs::path file = StoredToFile(bin_, stored);
    QImage image(QString::fromStdString(file.string()));
    if (image.isNull()) throw std::runtime_error("preview: cannot read " + file.string());
    return image;
  }
  QImage Frame(std::string_view list, int index) {
    const skin::ImageListResource* r = skin::FindImageListResource(list);
    QImage strip(QString::fromStdString((lists_ / (std::string(list) + ".bmp")).string()));
    index = std::clamp(index, 0, r->count - 1);
    return strip.copy(index * r->cellWidth, 0, r->cellWidth, r->cellHeight);
  }

  // Draws a picture with its magenta pixels see-through, as the windows draw buttons.
  static void Keyed(QPainter& p, int x, int y, QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int yy = 0; yy < image.height(); ++yy) {
      for (int xx = 0; xx < image.width(); ++xx) {
        if ((image.pixel(xx, yy) & 0xFFFFFF) == 0xFF00FF) image.setPixel(xx, yy, 0);
      }
    }
    p.drawImage(x, y, image);
  }

  void Button(QPainter& p, const ButtonEntry& b, int state = 0) {
    Keyed(p, b.rect.left(), b.rect.top(), Load(b.bitmaps[static_cast<std::size_t>(state)]));
  }

 private:
  fs::path bin_, lists_;
};

void Edit(QPainter& p, const places::Place& place, const QString& text) {
  p.fillRect(QRect(place.Left, place.Top, place.Width, place.Height), Qt::white);
  p.setFont(LatinFont(9));
  p.setPen(Qt::black);
  p.drawText(QRect(place.Left + 2, place.Top, place.Width - 2, place.Height),
             Qt::AlignLeft | Qt::AlignVCenter, text);
}

QImage Window(const QImage& page, int pageTop, const QImage& bar, Composer& c,
              const std::string& selectedTab, const SkinTable& table) {
  QImage window(places::kClientArea.Width, places::kClientArea.Height, QImage::Format_RGB32);
  window.fill(QColor(0x40, 0x40, 0x48));  // a desktop behind the see-through parts
  QPainter p(&window);
  Composer::Keyed(p, 0, pageTop, page);
  Composer::Keyed(p, 0, places::kImgCtrl.Top, bar);
  for (const ButtonEntry& b : table.ctrl.buttons) {
    if (b.key == "LEDLight") continue;  // the bar itself shows the LED area
    if (b.key == selectedTab) {
      const char* sel = b.key == "Manager"  ? "Skin\\M_Sel.bmp"
                        : b.key == "Config" ? "Skin\\C_Sel.bmp"
                                            : "Skin\\A_Sel.bmp";
      Composer::Keyed(p, b.rect.left(), b.rect.top(), c.Load(sel));
    } else {
      c.Button(p, b);
    }
  }
  Composer::Keyed(p, places::kImgCtrlMode.Left, places::kImgCtrlMode.Top, c.Load("Skin\\down.bmp"));
  return window;
}

void Save(const QImage& image, const fs::path& file) {
  fs::create_directories(file.parent_path());
  if (!image.save(QString::fromStdString(file.string()), "PNG")) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

void MonitorPreview(Composer& c, const Language& lang, const SkinTable& t, const fs::path& out) {
  const std::string folder = "Skin\\" + lang.folder + "\\";
  // The backgrounds are stored with a palette; paint on a full-colour copy.
  QImage page =
      c.Load(folder + std::string(skin::kManagerBackground)).convertToFormat(QImage::Format_RGB32);
  {
    DisplayStage stage = c.Stage(page);
    const auto digits = [&stage](const DisplayEntry& d, float value, std::string_view list) {
      stage.Show(d, DisplaySample{.digitList = list, .digits = value});
    };
    QPainter p(&page);
    const auto& watt = t.managerGroups[0];
    digits(watt.Display("Total"), 412.6f, "ILNumber");
    digits(watt.Display("Peak"), 498.1f, "ILNumber");
    p.drawImage(watt.Display("Total").statusBar->left, watt.Display("Total").statusBar->top,
                c.Frame("ILTStatusBar", 15));
    p.drawImage(watt.Display("Peak").statusBar->left, watt.Display("Peak").statusBar->top,
                c.Frame("ILWStatusBar", 18));
    for (const auto& b : watt.buttons) c.Button(p, b);
    const auto& volts = t.managerGroups[1];
    for (const auto& b : volts.buttons) c.Button(p, b, b.key == "12V1" ? 2 : b.key == "5V" ? 3 : 0);
    digits(volts.Display("Real"), 12.07f, "ILNumber");
    const auto& amps = t.managerGroups[2];
    for (const auto& b : amps.buttons) c.Button(p, b, b.key == "12V1" ? 2 : 0);
    digits(amps.Display("Real"), 18.42f, "ILNumber");
    digits(amps.Display("Peak"), 23.9f, "ILNumber");
    p.drawImage(amps.Display("Peak").statusBar->left, amps.Display("Peak").statusBar->top,
                c.Frame("ILCPeakStatusBar", 6));
    const auto& fans = t.managerGroups[3];
    digits(fans.Display("PSU Fan"), 1240.0f, "ILNumber");
    digits(fans.Display("System Fan"), 870.0f, "ILNumber");
    p.drawImage(fans.Display("PSU Fan").statusBar->left, fans.Display("PSU Fan").statusBar->top,
                c.Frame("ILPSUStatusBar", 4));
    p.drawImage(fans.Display("System Fan").statusBar->left,
                fans.Display("System Fan").statusBar->top, c.Frame("ILSYSStatusBar", 3));
    p.drawImage(places::kImgPSUFan.Left, places::kImgPSUFan.Top, c.Frame("ILFanSpeed", 3));
    p.drawImage(places::kImgSYSFan.Left, places::kImgSYSFan.Top, c.Frame("ILSYSFanSpeed", 7));
    p.drawImage(places::kImgAlarmSYS.Left, places::kImgAlarmSYS.Top, c.Load("Skin\\fan_red.bmp"));
    p.drawImage(places::kImgAlarmWatt.Left, places::kImgAlarmWatt.Top,
                c.Load("Skin\\watt_red.bmp"));
    const auto& temps = t.managerGroups[4];
    c.Button(p, temps.Button("Celsius"), 2);
    c.Button(p, temps.Button("Fahrenheit"));
    digits(temps.Display("PSU"), 41.0f, "ILNumber");
    p.drawImage(temps.Display("PSU").statusBar->left, temps.Display("PSU").statusBar->top,
                c.Load(folder + skin::TempGaugeFile(true, 4)));
    const double values[] = {35, 52, 28, 77};
    const char* sensors[] = {"T1", "T2", "T3", "T4"};
    for (int i = 0; i < 4; ++i) {
      const DisplayEntry& d = temps.Display(sensors[i]);
      digits(d, static_cast<float>(values[i]), i == 3 ? "ILRedNumber" : "ILNumber");
      p.drawImage(d.statusBar->left, d.statusBar->top,
                  c.Frame(std::string("ILTemp") + sensors[i] + "CStatusBar",
                          static_cast<int>(values[i] * 8 / 100)));
      Edit(p, places::kEditT[i], QString("Test%1").arg(i + 1));
    }
    stage.PaintOnto(p);
  }
  Save(Window(page, 0, c.Load("Skin\\Ctrl_LED_ON.bmp"), c, "Manager", t), out / "monitor.png");
}

void ConfigPreview(Composer& c, const Language& lang, const SkinTable& t, const fs::path& out,
                   bool voltage, bool celsius) {
  const std::string folder = "Skin\\" + lang.folder + "\\";
  const std::string background = voltage   ? std::string(skin::kConfigVoltageBackground)
                                 : celsius ? std::string(skin::kConfigFanCelsiusBackground)
                                           : std::string(skin::kConfigFanFahrenheitBackground);
  QImage page = c.Load(folder + background);
  QImage window =
      Window(page, places::kImgConfig.Top, c.Load("Skin\\Ctrl_LED_ON.bmp"), c, "Config", t);
  {
    QPainter p(&window);
    c.Button(p, t.config.Button("FanSpeed"), voltage ? 0 : 2);
    c.Button(p, t.config.Button("Voltage"), voltage ? 2 : 0);
    c.Button(p, t.config.Button("OK"));
    c.Button(p, t.config.Button("Cancel"), 3);
    if (voltage) {
      DisplayStage stage = c.Stage(window);
      const float values[] = {12.05f, 5.1f, 3.3f};
      const char* rails[] = {"12V", "5V", "33V"};
      for (int i = 0; i < 3; ++i) {
        const DisplayEntry& d = t.config.Display(rails[i]);
        const Range r = TrimRange(rails[i]);
        stage.Show(d, DisplaySample{.digitList = "ILANumber",
                                    .digits = values[i],
                                    .bar = true,
                                    .min = static_cast<float>(r.min),
                                    .max = static_cast<float>(r.max),
                                    .value = values[i],
                                    .marker = d.posBar->path});
      }
      stage.PaintOnto(p);
    } else {
      for (const char* key : {"ModePerform", "ModeNormal", "ModeSilence", "ModeManual", "PSUFan",
                              "SystemFan", "Celsius", "Fahrenheit"}) {
        const std::string k = key;
        const bool selected =
            k == "ModeManual" || k == "PSUFan" || k == (celsius ? "Celsius" : "Fahrenheit");
        c.Button(p, t.config.Button(k), selected ? 2 : 0);
      }
      const places::Place curve = places::kLabelCurve;
      p.fillRect(QRect(curve.Left, curve.Top, curve.Width, curve.Height), QColor(192, 220, 192));
      // Start 7.0 V, rising 45 C, as the page draws it.
      const int o = static_cast<int>((7.0 - 4.0) * 85 / 8.0);
      const int kx = static_cast<int>((45.0 - 25.0) * 157 / 49.0);
      const QPoint knee(curve.Left + kx, curve.Top + curve.Height - o);
      p.setPen(QPen(Qt::red, 1));
      p.drawLine(QPoint(curve.Left, knee.y()), knee);
      p.drawLine(knee, QPoint(curve.Left + curve.Width, curve.Top));
      p.drawRect(QRect(knee - QPoint(3, 3), knee + QPoint(3, 3)));
      const PosBarPlace& vol = *t.config.Display("FSVol").posBar;
      const PosBarPlace& temp = *t.config.Display("FSTemp").posBar;
      p.drawImage(vol.left, vol.top - o, c.Load(vol.path));
      p.drawImage(temp.left + kx, temp.top, c.Load(temp.path));
      Edit(p, places::kCBTempSensor, "TS_PSU  \u25be");
      Edit(p, places::kEditStartVol, "7.0");
      Edit(p, places::kEditRisingTemp, celsius ? "45" : "113");
    }
  }
  Save(window, out / (voltage   ? "config-voltage.png"
                      : celsius ? "config-fan-c.png"
                                : "config-fan-f.png"));
}

void AlarmPreview(Composer& c, const Language& lang, const SkinTable& t, const fs::path& out,
                  const std::string& group, int rating, bool celsius) {
  const std::string folder = "Skin\\" + lang.folder + "\\";
  std::string background;
  if (group == "Watt") background = skin::AlarmWattBackground(rating);
  if (group == "Voltage") background = std::string(skin::kAlarmVoltageBackground);
  if (group == "Current") background = skin::AlarmCurrentBackground(rating);
  if (group == "FanSpeed") background = std::string(skin::kAlarmFanSpeedBackground);
  if (group == "Temperature") {
    background = std::string(celsius ? skin::kAlarmTemperatureCelsiusBackground
                                     : skin::kAlarmTemperatureFahrenheitBackground);
  }
  // The skin load spells the power picture with a small w; resolve it without regard to case.
  QImage page;
  try {
    page = c.Load(folder + background);
  } catch (const std::exception&) {
    page = c.Load(folder + skin::AlarmWattGroupBackground(rating));
  }
  QImage window =
      Window(page, places::kImgAlarm.Top, c.Load("Skin\\Ctrl_LED_ON.bmp"), c, "Alarm", t);
  QPainter p(&window);
  for (const char* tab : {"Watt", "Voltage", "Current", "FanSpeed", "Temperature"}) {
    c.Button(p, t.alarm.Button(tab), tab == group ? 2 : 0);
  }
  c.Button(p, t.alarm.Button("Disable"));
  c.Button(p, t.alarm.Button("OK"));
  c.Button(p, t.alarm.Button("Cancel"));
  const std::string current = rating == 450 ? "Current_450W" : "Current";
  std::vector<std::pair<std::string, double>> shown;
  if (group == "Watt") shown = {{"Total", rating * 0.8}};
  if (group == "Voltage") shown = {{"12V", 12.6}, {"5V", 4.75}, {"33V", 3.465}};
  if (group == "Current") {
    shown = {{"12V1", 18}, {"12V2", 18}, {"12V3", 20}, {"12V4", 20}, {"5V", 20}, {"33V", 20}};
  }
  if (group == "FanSpeed") shown = {{"PSU", 600}, {"SystemFan", 400}};
  if (group == "Temperature") shown = {{"PSU", 60}, {"T1", 50}, {"T2", 50}, {"T3", 45}, {"T4", 70}};
  const std::string keyGroup = group == "Current" ? current : group;
  DisplayStage stage = c.Stage(window);
  int index = 0;
  for (const auto& [rail, value] : shown) {
    const std::string key = group == "Watt" ? rail : keyGroup + "\\" + rail;
    const DisplayEntry& d = t.alarm.Display(key);
    const Range r = AlarmRange(group, rail, rating);
    const bool on = index++ != 1;  // one switched off, to show its look
    float digits = static_cast<float>(value);
    bool negative = false;
    if (group == "Voltage") {
      const double mid = (r.min + r.max) / 2;
      negative = value < mid;
      digits = static_cast<float>(std::round(std::abs(value - mid) / mid * 100 * 100) / 100);
    }
    if (group == "Temperature" && !celsius) digits = core::ToFahrenheit(digits);
    stage.Show(d, DisplaySample{.digitList = "ILANumber",
                                .digits = digits,
                                .negative = negative,
                                .alternate = true,
                                .bar = true,
                                .min = static_cast<float>(r.min),
                                .max = static_cast<float>(r.max),
                                .value = static_cast<float>(value),
                                .centred = group == "Voltage",
                                .colour = on ? ui::Color{0, 255, 0} : ui::Color{128, 128, 128},
                                .marker = on ? d.posBar->path : d.posBar->disPath});
    if (group != "Watt") {
      const std::string switchKey = keyGroup + "\\" + rail + "Light";
      const bool absent = rating == 450 && (rail == "12V3" || rail == "12V4");
      if (!absent) c.Button(p, t.alarm.Button(switchKey), on ? 0 : 3);
    }
  }
  if (group == "Temperature") {
    c.Button(p, t.alarm.Button("Temperature\\Celsius"), celsius ? 2 : 0);
    c.Button(p, t.alarm.Button("Temperature\\Fahrenheit"), celsius ? 0 : 2);
    for (int i = 0; i < 4; ++i) {
      places::Place name = places::kEditATempT[i];
      name.Top += 0;
      Edit(p, name, QString("Test%1").arg(i + 1));
    }
  }
  stage.PaintOnto(p);
  p.end();
  Save(window, out / ("alarm-" + group + (group == "Temperature" && !celsius ? "-F" : "") + "-" +
                      std::to_string(rating) + ".png"));
}

void DetailPreview(Composer& c, const Language& lang, const SkinTable& t, const fs::path& out,
                   bool voltage, int rating) {
  const std::string folder = "Skin\\" + lang.folder + "\\";
  const std::string background =
      voltage ? skin::VoltageWindowBackground(rating) : skin::CurrentWindowBackground(rating);
  QImage bk = c.Load(folder + background);
  const PageTable& page = voltage ? t.voltageWindow : t.currentWindow;
  const int height =
      voltage ? places::kVoltageWindowClient.Height : places::kCurrentWindowClient.Height;
  QImage window(places::kVoltageWindowClient.Width, height, QImage::Format_RGB32);
  window.fill(QColor(0x40, 0x40, 0x48));
  QPainter p(&window);
  Composer::Keyed(p, 0, 0, bk);
  c.Button(p, page.Button("Close"));
  std::map<std::string, double> readings = {{"12V1", 12.07},    {"12V2", 12.01}, {"12V3", 11.32},
                                            {"12V4", 12.1},     {"5V", 5.02},    {"33V", 3.31},
                                            {"Neg12V", -11.92}, {"5Vsb", 5.05}};
  if (!voltage) {
    readings = {{"12V1", 14.2}, {"12V2", 9.8}, {"12V3", 21.5},
                {"12V4", 38.0}, {"5V", 6.4},   {"33V", 4.1}};
  }
  DisplayStage stage = c.Stage(window);
  for (const DisplayEntry& d : page.displays) {
    if (!d.digit) continue;
    const double v = readings[d.key];
    const Range r = voltage ? VoltageWindowRange(d.key)
                            : CurrentWindowRange(d.key, rating == 450 ? 550 : rating);
    // The -12 V rail shows its magnitude with the sign; its bar grows with the magnitude.
    const auto magnitude = static_cast<float>(std::abs(v));
    stage.Show(d, DisplaySample{.digitList = "ILANumber",
                                .digits = magnitude,
                                .negative = v < 0,
                                .bar = true,
                                .min = static_cast<float>(r.min),
                                .max = static_cast<float>(r.max),
                                .value = magnitude});
  }
  stage.PaintOnto(p);
  p.end();
  Save(window,
       out / ((voltage ? "voltage-window-" : "current-window-") + std::to_string(rating) + ".png"));
}

// Every shared button set in its four states, the bars and the small pictures, zoomed.
void PartsSheet(Composer& c, const fs::path& out) {
  const char* sets[] = {"rail_12V1",  "rail_Neg12V", "M",      "C",     "A",
                        "x",          "-",           "LED_x",  "LED_-", "LED_over_x",
                        "LED_over_-", "switch",      "wclose", "btn_c", "led_area"};
  constexpr int kZoom = 2;
  QImage sheet(900, 1200, QImage::Format_RGB32);
  sheet.fill(QColor(0x40, 0x40, 0x48));
  QPainter p(&sheet);
  int y = 8;
  for (const char* set : sets) {
    int x = 8, rowHeight = 0;
    for (const char* state : {"_up", "_over", "_down", "_dis"}) {
      const QImage image = c.Load(std::string("Skin\\") + set + state + ".bmp");
      Composer::Keyed(p, x, y, image.scaled(image.size() * kZoom));
      x += image.width() * kZoom + 12;
      rowHeight = std::max(rowHeight, image.height() * kZoom);
    }
    y += rowHeight + 8;
  }
  int x = 8;
  for (const char* single :
       {"M_Sel", "C_Sel", "A_Sel", "rail_na", "watt_red", "fan_red", "up", "down", "marker_v",
        "marker_v_dis", "marker_fan_v", "marker_fan_h", "attr_neg", "attr_pos_big",
        "a_attr_neg_big", "num_none", "a_num_none_big", "dot"}) {
    const QImage image = c.Load(std::string("Skin\\") + single + ".bmp");
    Composer::Keyed(p, x, y, image.scaled(image.size() * kZoom));
    x += image.width() * kZoom + 10;
  }
  y += 80;
  for (const char* bar : {"Ctrl_BK", "Ctrl_LED_ON", "Ctrl_LED_over"}) {
    Composer::Keyed(p, 8, y, c.Load(std::string("Skin\\") + bar + ".bmp"));
    y += 60;
  }
  p.end();
  Save(sheet, out / "parts.png");
}

}  // namespace

void WritePreviews(const fs::path& binDir, const fs::path& listsDir, const fs::path& outDir) {
  Composer c(binDir, listsDir);
  PartsSheet(c, outDir);
  for (const Language& lang : Languages()) {
    const fs::path out = outDir / lang.folder;
    const SkinTable normal = BuildSkinTable(lang.folder, false);
    const SkinTable small = BuildSkinTable(lang.folder, true);
    MonitorPreview(c, lang, normal, out);
    ConfigPreview(c, lang, normal, out, false, true);
    ConfigPreview(c, lang, normal, out, false, false);
    ConfigPreview(c, lang, normal, out, true, true);
    for (const char* group : {"Watt", "Voltage", "Current", "FanSpeed", "Temperature"}) {
      AlarmPreview(c, lang, normal, out, group, 550, true);
    }
    AlarmPreview(c, lang, normal, out, "Temperature", 550, false);
    AlarmPreview(c, lang, small, out, "Current", 450, true);
    AlarmPreview(c, lang, normal, out, "Current", 800, true);
    for (int rating : {450, 550, 800}) {
      const SkinTable& t = rating == 450 ? small : normal;
      DetailPreview(c, lang, t, out, true, rating);
      DetailPreview(c, lang, t, out, false, rating);
    }
  }
}

}  // namespace skingen
