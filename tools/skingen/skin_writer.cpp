#include "skin_writer.h"

#include <QPainter>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "bitmap_file.h"
#include "button_art.h"
#include "gauge_art.h"
#include "glyphs.h"
#include "layout_table.h"
#include "page_art.h"
#include "paint_kit.h"
#include "reg_text.h"
#include "skin/default_skin_places.h"
#include "skin/image_list_resources.h"
#include "skin/skin_files.h"
#include "texts.h"

namespace skingen {
namespace {

namespace fs = std::filesystem;

constexpr int kRatings[] = {450, 550, 680, 800};

ButtonFace TextFace(const Language& lang, const QString& text, int size = 12) {
  return [=](QPainter& p, const QRect& inner, ButtonState, const QColor& ink) {
    FitText(p, inner, Qt::AlignCenter, text, UiFont(lang, size, true), ink);
  };
}

ButtonFace LatinFace(const QString& text, int size = 11) {
  return [=](QPainter& p, const QRect& inner, ButtonState, const QColor& ink) {
    p.setFont(LatinFont(size, true));
    p.setPen(ink);
    p.drawText(inner, Qt::AlignCenter, text);
  };
}

ButtonFace IconFace(Icon icon, int size) {
  return [=](QPainter& p, const QRect& inner, ButtonState, const QColor& ink) {
    const QRectF box(inner.center().x() - size / 2.0 + 0.5, inner.center().y() - size / 2.0 + 0.5,
                     size, size);
    DrawIcon(p, icon, box, ink);
  };
}

// An icon above its label (mode buttons) or beside it (fan and unit buttons).
ButtonFace IconTextFace(const Language& lang, Icon icon, const QString& text, bool stacked,
                        const QColor& iconColour = QColor()) {
  return [=](QPainter& p, const QRect& inner, ButtonState state, const QColor& ink) {
    const QColor glyph = iconColour.isValid() && state != ButtonState::Dis ? iconColour : ink;
    if (stacked) {
      DrawIcon(p, icon, QRectF(inner.center().x() - 13, inner.top() + 8, 26, 26), glyph);
      FitText(p, QRect(inner.left(), inner.top() + 40, inner.width(), 22), Qt::AlignCenter, text,
              UiFont(lang, 13, true), ink);
    } else {
      DrawIcon(p, icon, QRectF(inner.left() + 6, inner.center().y() - 11, 22, 22), glyph);
      FitText(p, QRect(inner.left() + 34, inner.top(), inner.width() - 36, inner.height()),
              Qt::AlignLeft | Qt::AlignVCenter, text, UiFont(lang, 12, true), ink);
    }
  };
}

ButtonFace UnitFace(const Language& lang, const QString& symbol, const QString& name) {
  return [=](QPainter& p, const QRect& inner, ButtonState, const QColor& ink) {
    p.setFont(LatinFont(15, true));
    p.setPen(ink);
    p.drawText(QRect(inner.left() + 4, inner.top(), 34, inner.height()), Qt::AlignCenter, symbol);
    FitText(p, QRect(inner.left() + 40, inner.top(), inner.width() - 42, inner.height()),
            Qt::AlignLeft | Qt::AlignVCenter, name, UiFont(lang, 12, true), ink);
  };
}

}  // namespace

fs::path StoredToFile(const fs::path& binDir, const std::string& stored) {
  fs::path file = binDir;
  std::string part;
  for (char c : stored + "\\") {
    if (c == '\\') {
      if (!part.empty()) file /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  return file;
}

void SaveBitmap(const QImage& image, const fs::path& file) {
  fs::create_directories(file.parent_path());
  const std::string bytes = EncodeBitmapFile(image);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

SkinWriter::SkinWriter(Options options) : options_(std::move(options)) {}

void SkinWriter::Save(const QImage& image, const fs::path& file) {
  SaveBitmap(image, file);
  ++files_;
  bytes_ += fs::file_size(file);
}

void SkinWriter::WriteAll() {
  WriteShared();
  WriteLists();
  // The languages are independent; split them over the threads.
  const std::size_t count = Languages().size();
  const int threads = std::max(1, options_.threads);
  std::vector<std::thread> workers;
  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(threads));
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([this, t, threads, count, &errors] {
      try {
        for (std::size_t i = static_cast<std::size_t>(t); i < count;
             i += static_cast<std::size_t>(threads)) {
          WriteLanguage(i);
        }
      } catch (...) {
        errors[static_cast<std::size_t>(t)] = std::current_exception();
      }
    });
  }
  for (auto& worker : workers) worker.join();
  for (const auto& error : errors) {
    if (error) std::rethrow_exception(error);
  }
  WriteSettings();
  CheckEveryStoredPath();
}

void SkinWriter::WriteShared() {
  const fs::path skin = options_.binDir / "Skin";
  const ButtonLook onCard{palette::kCard, 5, DisLook::Disabled};
  const ButtonLook tile{palette::kCard, 5, DisLook::Alarm};

  // Rail tiles: their disabled picture is the alarm look.
  for (const std::string rail : {"12V1", "12V2", "12V3", "12V4", "5V", "33V", "5Vsb", "Neg12V"}) {
    const QString name = rail == "Neg12V" ? QString::fromUtf8("\u221212V")
                         : rail == "33V"  ? QString("+3.3V")
                         : rail == "5Vsb" ? QString("+5VSB")
                                          : "+" + QString::fromStdString(rail);
    for (ButtonState s : kButtonStates) {
      Save(ButtonPicture(QSize(68, 26), tile, s, LatinFace(name)),
           skin / ("rail_" + rail + StateSuffix(s) + ".bmp"));
    }
  }
  Save(ButtonPicture(QSize(68, 26), onCard, ButtonState::Dis,
                     LatinFace(QString::fromUtf8("\u2014"))),
       skin / "rail_na.bmp");

  // Control bar: tabs (the monitor tab's disabled picture is its alarm look), selected tabs,
  // close and minimise in three looks, the LED area and the collapse arrow.
  const struct {
    const char* stem;
    Icon icon;
    DisLook dis;
  } tabs[] = {{"M", Icon::Gauge, DisLook::Alarm},
              {"C", Icon::Sliders, DisLook::Disabled},
              {"A", Icon::Bell, DisLook::Disabled}};
  for (const auto& tab : tabs) {
    const ButtonLook look{palette::kBar, 6, tab.dis};
    for (ButtonState s : kButtonStates) {
      Save(ButtonPicture(QSize(96, 36), look, s, IconFace(tab.icon, 20)),
           skin / (std::string(tab.stem) + StateSuffix(s) + ".bmp"));
    }
    Save(SelectedTabPicture(QSize(96, 36), palette::kBar, IconFace(tab.icon, 20)),
         skin / (std::string(tab.stem) + "_Sel.bmp"));
  }
  const struct {
    const char* prefix;
    QColor glyph;
  } looks[] = {
      {"", palette::kLabel}, {"LED_", palette::kAccent}, {"LED_over_", QColor(0xa8, 0xec, 0xff)}};
  for (const auto& look : looks) {
    for (const auto& [glyph, icon] : {std::pair{"x_", Icon::Close}, std::pair{"-_", Icon::Minus}}) {
      for (ButtonState s : kButtonStates) {
        const QColor colour = look.glyph;
        const ButtonFace face = [=](QPainter& p, const QRect& inner, ButtonState state,
                                    const QColor& ink) {
          const QColor c = state == ButtonState::Dis  ? ink
                           : state == ButtonState::Up ? colour
                                                      : ink;
          DrawIcon(p, icon, QRectF(inner.center().x() - 7.5, inner.center().y() - 7.5, 16, 16), c);
        };
        Save(ButtonPicture(QSize(36, 28), ButtonLook{palette::kBar, 5, DisLook::Disabled}, s, face),
             skin / (std::string(look.prefix) + glyph + (StateSuffix(s) + 1) + ".bmp"));
      }
    }
  }
  const QImage bars[] = {CtrlBarPicture(BarLook::LedOff), CtrlBarPicture(BarLook::LedOn),
                         CtrlBarPicture(BarLook::LedOver)};
  Save(bars[0], skin / "Ctrl_BK.bmp");
  Save(bars[1], skin / "Ctrl_LED_ON.bmp");
  Save(bars[2], skin / "Ctrl_LED_over.bmp");
  const QRect led(skin::places::kLedArea.Left, skin::places::kLedArea.Top,
                  skin::places::kLedArea.Width, skin::places::kLedArea.Height);
  Save(bars[1].copy(led), skin / "led_area_up.bmp");
  Save(bars[2].copy(led), skin / "led_area_over.bmp");
  Save(bars[2].copy(led), skin / "led_area_down.bmp");
  Save(bars[0].copy(led), skin / "led_area_dis.bmp");
  Save(ModeArrow(true), skin / "up.bmp");
  Save(ModeArrow(false), skin / "down.bmp");

  // Alarm switches, markers, the detail windows' close button, the alarm page's unit keys.
  for (ButtonState s : kButtonStates) {
    Save(SwitchPicture(QSize(44, 22), palette::kCard, s),
         skin / (std::string("switch") + StateSuffix(s) + ".bmp"));
    Save(ButtonPicture(QSize(30, 24), ButtonLook{palette::kBar, 5, DisLook::Disabled}, s,
                       IconFace(Icon::Close, 14)),
         skin / (std::string("wclose") + StateSuffix(s) + ".bmp"));
    Save(ButtonPicture(QSize(64, 24), onCard, s, LatinFace(QString::fromUtf8("\u00b0C"), 12)),
         skin / (std::string("btn_c") + StateSuffix(s) + ".bmp"));
    Save(ButtonPicture(QSize(64, 24), onCard, s, LatinFace(QString::fromUtf8("\u00b0F"), 12)),
         skin / (std::string("btn_f") + StateSuffix(s) + ".bmp"));
  }
  Save(BarMarker(true), skin / "marker_v.bmp");
  Save(BarMarker(false), skin / "marker_v_dis.bmp");
  Save(CurveMarkerVertical(true), skin / "marker_fan_v.bmp");
  Save(CurveMarkerVertical(false), skin / "marker_fan_v_dis.bmp");
  Save(CurveMarkerHorizontal(true), skin / "marker_fan_h.bmp");
  Save(CurveMarkerHorizontal(false), skin / "marker_fan_h_dis.bmp");
  Save(WattAlarmIcon(), skin / "watt_red.bmp");
  Save(FanAlarmIcon(), skin / "fan_red.bmp");

  // Digit pictures that lie in Skin\ itself: signs, blanks and points, normal and alternate.
  for (const bool alternate : {false, true}) {
    const QColor sign = alternate ? palette::kAmber : palette::kDigitLit;
    const std::string prefix = alternate ? "a_" : "";
    for (const bool big : {false, true}) {
      const std::string size = big ? "_big" : "";
      Save(SignPicture(true, big, sign, palette::kDigitGhost),
           skin / (prefix + "attr_neg" + size + ".bmp"));
      Save(SignPicture(false, big, sign, palette::kDigitGhost),
           skin / (prefix + "attr_pos" + size + ".bmp"));
      Save(BlankDigit(big ? 9 : 8, big ? 18 : 16, palette::kDigitGhost),
           skin / (prefix + "num_none" + size + ".bmp"));
    }
  }
  Save(DecimalPoint(palette::kDigitLit), skin / "dot.bmp");
  Save(DecimalPoint(palette::kDigitLit), skin / "dot_big.bmp");
}

void SkinWriter::WriteLists() {
  for (const skin::ImageListResource& list : skin::kImageListResources) {
    const std::string name(list.name);
    QImage strip;
    if (name == "ILNumber" || name == "ILANumber") {
      strip = DigitStrip(list.cellWidth, list.cellHeight, palette::kDigitLit, palette::kDigitGhost);
    } else if (name == "ILRedNumber") {
      strip = DigitStrip(list.cellWidth, list.cellHeight, palette::kRedLit, palette::kRedGhost);
    } else if (name == "ILFanSpeed" || name == "ILSYSFanSpeed") {
      strip = FanStrip(name == "ILSYSFanSpeed", list.count);
    } else if (name.rfind("ILTemp", 0) == 0) {
      strip = GaugeStrip(GaugeStyle::Temperature, list.cellWidth, list.cellHeight, list.count,
                         name.find("FStatusBar") != std::string::npos);
    } else {
      const GaugeStyle style = name == "ILTStatusBar"   ? GaugeStyle::Power
                               : name == "ILWStatusBar" ? GaugeStyle::Peak
                                                        : GaugeStyle::Small;
      strip = GaugeStrip(style, list.cellWidth, list.cellHeight, list.count, false);
    }
    Save(strip, options_.listsDir / (name + ".bmp"));
  }
}

void SkinWriter::WriteLanguage(std::size_t index) {
  const Language& lang = Languages()[index];
  const fs::path dir = options_.binDir / "Skin" / lang.folder;
  const SkinTable normal = BuildSkinTable(lang.folder, false);
  const SkinTable small = BuildSkinTable(lang.folder, true);

  Save(ManagerPicture(lang, normal), dir / std::string(skin::kManagerBackground));
  Save(ConfigPicture(lang, normal, ConfigView::FanCelsius),
       dir / std::string(skin::kConfigFanCelsiusBackground));
  Save(ConfigPicture(lang, normal, ConfigView::FanFahrenheit),
       dir / std::string(skin::kConfigFanFahrenheitBackground));
  Save(ConfigPicture(lang, normal, ConfigView::Voltage),
       dir / std::string(skin::kConfigVoltageBackground));
  Save(AlarmPicture(lang, normal, AlarmGroup::Voltage, 550, true),
       dir / std::string(skin::kAlarmVoltageBackground));
  Save(AlarmPicture(lang, normal, AlarmGroup::FanSpeed, 550, true),
       dir / std::string(skin::kAlarmFanSpeedBackground));
  Save(AlarmPicture(lang, normal, AlarmGroup::Temperature, 550, true),
       dir / std::string(skin::kAlarmTemperatureCelsiusBackground));
  Save(AlarmPicture(lang, normal, AlarmGroup::Temperature, 550, false),
       dir / std::string(skin::kAlarmTemperatureFahrenheitBackground));
  for (int rating : kRatings) {
    const SkinTable& table = rating == 450 ? small : normal;
    // Written under the power group's spelling; the skin load's spelling finds it too.
    Save(AlarmPicture(lang, table, AlarmGroup::Watt, rating, true),
         dir / skin::AlarmWattGroupBackground(rating));
    Save(AlarmPicture(lang, table, AlarmGroup::Current, rating, true),
         dir / skin::AlarmCurrentBackground(rating));
    Save(CurrentWindowPicture(lang, table, rating), dir / skin::CurrentWindowBackground(rating));
  }
  Save(VoltageWindowPicture(lang, normal, 550), dir / skin::VoltageWindowBackground(550));
  Save(VoltageWindowPicture(lang, small, 450), dir / skin::VoltageWindowBackground(450));
  for (int n = 1; n <= skin::kTempGaugeImageCount; ++n) {
    Save(TempDial(true, n), dir / skin::TempGaugeFile(true, n));
    Save(TempDial(false, n), dir / skin::TempGaugeFile(false, n));
  }

  // The language's buttons.
  const ButtonLook onCard{palette::kCard, 6, DisLook::Disabled};
  const auto set = [&](const std::string& stem, QSize size, const ButtonFace& face) {
    for (ButtonState s : kButtonStates) {
      Save(ButtonPicture(size, onCard, s, face), dir / (stem + StateSuffix(s) + ".bmp"));
    }
  };
  set("btn_clear", QSize(54, 28), TextFace(lang, lang[Text::Clear], 11));
  set("btn_all", QSize(68, 26), TextFace(lang, lang[Text::All], 11));
  set("btn_celsius", QSize(128, 34),
      UnitFace(lang, QString::fromUtf8("\u00b0C"), lang[Text::Celsius]));
  set("btn_fahrenheit", QSize(128, 34),
      UnitFace(lang, QString::fromUtf8("\u00b0F"), lang[Text::Fahrenheit]));
  set("tab_fan", QSize(140, 30), TextFace(lang, lang[Text::FanSpeed]));
  set("tab_volt", QSize(140, 30), TextFace(lang, lang[Text::Voltage]));
  set("btn_ok", QSize(96, 32), TextFace(lang, lang[Text::Ok], 13));
  set("btn_cancel", QSize(96, 32), TextFace(lang, lang[Text::Cancel], 13));
  set("btn_perform", QSize(136, 76),
      IconTextFace(lang, Icon::Rocket, lang[Text::Performance], true, palette::kRed));
  set("btn_normal", QSize(136, 76),
      IconTextFace(lang, Icon::Balance, lang[Text::Normal], true, palette::kGreen));
  set("btn_silent", QSize(136, 76),
      IconTextFace(lang, Icon::Moon, lang[Text::Silent], true, palette::kAccent));
  set("btn_manual", QSize(136, 76),
      IconTextFace(lang, Icon::Hand, lang[Text::Manual], true, palette::kAmber));
  set("btn_psufan", QSize(136, 56), IconTextFace(lang, Icon::Fan, lang[Text::PsuFan], false));
  set("btn_sysfan", QSize(136, 56), IconTextFace(lang, Icon::Fan, lang[Text::SystemFan], false));
  set("tab_watt", QSize(112, 30), TextFace(lang, lang[Text::Power]));
  set("tab_voltage", QSize(112, 30), TextFace(lang, lang[Text::Voltage]));
  set("tab_current", QSize(112, 30), TextFace(lang, lang[Text::Current]));
  set("tab_fanspeed", QSize(112, 30), TextFace(lang, lang[Text::FanSpeed]));
  set("tab_temperature", QSize(112, 30), TextFace(lang, lang[Text::Temperature]));
  // The Disable button shows the group's state: on (a check) or muted (a cross).
  for (const bool muted : {false, true}) {
    const std::vector<std::string> files = skin::DisableAlarmSet(muted);
    const ButtonFace face = IconTextFace(lang, muted ? Icon::Cross : Icon::Check,
                                         lang[muted ? Text::AlarmsOff : Text::AlarmsOn], false,
                                         muted ? palette::kRed : palette::kGreen);
    for (std::size_t i = 0; i < kButtonStates.size(); ++i) {
      Save(ButtonPicture(QSize(170, 32), onCard, kButtonStates[i], face), dir / files[i]);
    }
  }
}

void SkinWriter::WriteSettings() {
  std::string text;
  std::ifstream factory(options_.factoryIn, std::ios::binary);
  if (factory) {
    std::ostringstream content;
    content << factory.rdbuf();
    text = content.str();
    if (!text.empty() && text.back() != '\n') text += '\n';
  } else {
    // Without factory settings the program key still needs its language value.
    text = std::string(kRegHeader) +
           "\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta]\n\"osLang\"=\"0\"\n";
  }
  for (const Language& lang : Languages()) {
    text += SkinTreeText(lang.folder, BuildSkinTable(lang.folder, false),
                         BuildSkinTable(lang.folder, true));
  }
  fs::create_directories(options_.factoryOut.parent_path());
  const fs::path temporary = options_.factoryOut.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + temporary.string());
  }
  fs::rename(temporary, options_.factoryOut);
}

void SkinWriter::CheckEveryStoredPath() const {
  for (const Language& lang : Languages()) {
    for (const bool small : {false, true}) {
      const SkinTable table = BuildSkinTable(lang.folder, small);
      std::vector<const PageTable*> pages = {&table.config, &table.alarm, &table.ctrl,
                                             &table.voltageWindow, &table.currentWindow};
      for (const PageTable& group : table.managerGroups) pages.push_back(&group);
      for (const PageTable* page : pages) {
        for (const ButtonEntry& b : page->buttons) {
          for (const std::string& stored : b.bitmaps) {
            if (!fs::exists(StoredToFile(options_.binDir, stored))) {
              throw std::runtime_error(page->pageName + "\\" + b.key + " names " + stored +
                                       ", which was not written");
            }
          }
        }
        for (const DisplayEntry& d : page->displays) {
          if (!d.posBar) continue;
          for (const std::string& stored : {d.posBar->path, d.posBar->disPath}) {
            if (!fs::exists(StoredToFile(options_.binDir, stored))) {
              throw std::runtime_error(page->pageName + "\\" + d.key + " names " + stored +
                                       ", which was not written");
            }
          }
        }
      }
    }
  }
}

}  // namespace skingen
