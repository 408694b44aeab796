#include "page_art.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>
#include <functional>

#include "core/numbers.h"
#include "gauge_art.h"
#include "glyphs.h"
#include "paint_kit.h"
#include "skin/default_skin_places.h"

namespace skingen {
namespace {

namespace places = skin::places;

constexpr int kPageWidth = 628;
constexpr int kWindowRadius = 10;
const QRect kTabRail(8, 42, 612, 38);
const QRect kActionBar(8, 534, 612, 44);

QRect ToRect(const places::Place& p) {
  return {p.Left, p.Top, p.Width, p.Height};
}

QString RailName(const std::string& rail) {
  if (rail == "Neg12V") return QString::fromUtf8("\u221212V");
  if (rail == "33V") return "+3.3V";
  if (rail == "5Vsb") return "+5VSB";
  return "+" + QString::fromStdString(rail);
}

QString Value(double v, int decimals) {
  return QString::number(v, 'f', decimals);
}

// An LCD window around a digit row, with the unit printed at its right end.
void DigitWindow(QPainter& p, const DigitPlace& d, bool altDigitSet, const QString& unit,
                 int padX = 7, int padY = 6) {
  const QRect digits = d.Extent(altDigitSet);
  const int unitWidth =
      unit.isEmpty() ? 0 : QFontMetrics(LatinFont(10, true)).horizontalAdvance(unit) + 4;
  const QRect window = digits.adjusted(-padX, -padY, padX + unitWidth, padY);
  LcdWindow(p, window);
  if (!unit.isEmpty()) {
    p.setFont(LatinFont(10, true));
    p.setPen(palette::kMuted);
    p.drawText(QRect(digits.right() + 4, digits.top(), unitWidth + 2, digits.height()),
               Qt::AlignLeft | Qt::AlignBottom, unit);
  }
}

// A small label above a control, left-aligned with it.
void Caption(QPainter& p, const QRect& rect, const QString& text, const Language& lang,
             int flags = Qt::AlignLeft | Qt::AlignVCenter, int size = 11) {
  FitText(p, rect, flags, text, UiFont(lang, size), palette::kLabel);
}

// Ticks beside a vertical bar: each at a fraction of its length from the bottom.
struct Tick {
  double fraction;
  QString label;
  bool major = true;
};
void BarScale(QPainter& p, const StatusRectPlace& bar, const std::vector<Tick>& ticks) {
  const QRect r = bar.Rect();
  Slot(p, r);
  p.setFont(LatinFont(9));
  for (const Tick& tick : ticks) {
    const int y = r.top() + r.height() - static_cast<int>(std::lround(tick.fraction * r.height()));
    p.setPen(QPen(tick.major ? palette::kMuted : QColor(0x3c, 0x46, 0x52), 1));
    p.drawLine(r.left() - 8, y, r.left() - 4, y);
    if (!tick.label.isEmpty()) {
      p.setPen(palette::kMuted);
      p.drawText(QRect(r.left() - 60, y - 7, 50, 14), Qt::AlignRight | Qt::AlignVCenter,
                 tick.label);
    }
  }
}

void PageFrame(QPainter& p, int width, int height, const QString& title, const Language& lang,
               int titleRight = -1) {
  PageBackground(p, QRect(0, 0, width, height));
  HeaderBand(p, width, title, lang, titleRight);
}

// The page's ventilation grille in a spare band.
void Grille(QPainter& p, const QRect& band) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  constexpr int kSlots = 24;
  const double pitch = double(band.width()) / kSlots;
  for (int i = 0; i < kSlots; ++i) {
    const QRectF slot(band.left() + i * pitch + 3, band.top() + band.height() / 2.0 - 3, pitch - 6,
                      6);
    p.setBrush(palette::kOutline);
    p.drawRoundedRect(slot, 3, 3);
    p.setBrush(QColor(0x22, 0x29, 0x31));
    p.drawRoundedRect(slot.adjusted(0, 4, 0, 1), 2, 2);
  }
  p.restore();
}

void DrawFanFrame(QPainter& p, const places::Place& place, bool systemFan) {
  p.drawImage(place.Left, place.Top, FanStrip(systemFan, 1));
}

}  // namespace

QImage ManagerPicture(const Language& lang, const SkinTable& table) {
  QImage image = NewImage(kPageWidth, places::kImgManager.Height, palette::kCard);
  {
    QPainter p(&image);
    PreparePainter(p);
    PageFrame(p, kPageWidth, image.height(), Title(lang, Text::Monitor), lang);
    for (const QRect& card : {cards::kPower, cards::kVoltage, cards::kCurrent, cards::kPsuFan,
                              cards::kSysFan, cards::kPsuTemp, cards::kUnit, cards::kSensors}) {
      Card(p, card);
    }
    Grille(p, QRect(12, 566, 604, 26));

    // Power: total and peak, each with its gauge.
    const PageTable& watt = table.managerGroups[0];
    CardTitle(p, cards::kPower, Title(lang, Text::Power), lang);
    const DisplayEntry& total = watt.Display("Total");
    const DisplayEntry& peak = watt.Display("Peak");
    Caption(p, QRect(total.digit->left - 8, 80, 100, 16), lang[Text::Total], lang);
    Caption(p, QRect(peak.digit->left - 8, 80, 100, 16), lang[Text::Peak], lang);
    DigitWindow(p, *total.digit, false, "W");
    DigitWindow(p, *peak.digit, false, "W");
    for (const DisplayEntry* d : {&total, &peak}) {
      const QRect g = d->statusBar->Rect();
      Slot(p, g);
      p.setFont(LatinFont(8));
      p.setPen(palette::kMuted);
      p.drawText(QRect(g.left(), g.bottom() + 3, 30, 11), Qt::AlignLeft, "0");
      p.drawText(QRect(g.center().x() - 15, g.bottom() + 3, 30, 11), Qt::AlignHCenter, "50%");
      p.drawText(QRect(g.right() - 40, g.bottom() + 3, 40, 11), Qt::AlignRight, "100%");
    }
    p.setPen(QPen(palette::kCardBorder, 1));
    p.drawLine(340, 82, 340, 154);

    // Voltage and current: the shown rail's reading and the rail tiles.
    CardTitle(p, cards::kVoltage, Title(lang, Text::Voltage), lang);
    DigitWindow(p, *table.managerGroups[1].Display("Real").digit, false, "V");
    CardTitle(p, cards::kCurrent, Title(lang, Text::Current), lang);
    const PageTable& current = table.managerGroups[2];
    DigitWindow(p, *current.Display("Real").digit, false, "A");
    const DisplayEntry& currentPeak = current.Display("Peak");
    Caption(p, QRect(currentPeak.digit->left - 8, 186, 80, 14), lang[Text::Peak], lang,
            Qt::AlignLeft | Qt::AlignVCenter, 10);
    DigitWindow(p, *currentPeak.digit, false, "A");
    Slot(p, currentPeak.statusBar->Rect());
    for (const QRect& card : {cards::kVoltage, cards::kCurrent}) {
      p.setPen(QPen(palette::kCardBorder, 1));
      p.drawLine(card.left() + 12, 246, card.right() - 12, 246);
    }

    // Fans: picture, speed and gauge.
    const PageTable& fans = table.managerGroups[3];
    CardTitle(p, cards::kPsuFan, Title(lang, Text::PsuFan), lang);
    CardTitle(p, cards::kSysFan, Title(lang, Text::SystemFan), lang);
    DrawFanFrame(p, places::kImgPSUFan, false);
    DrawFanFrame(p, places::kImgSYSFan, true);
    for (const char* key : {"PSU Fan", "System Fan"}) {
      const DisplayEntry& d = fans.Display(key);
      DigitWindow(p, *d.digit, false, "RPM");
      Slot(p, d.statusBar->Rect());
    }

    // Temperatures: the supply's dial, then the four sensors with their names.
    const PageTable& temps = table.managerGroups[4];
    CardTitle(p, cards::kPsuTemp, Title(lang, Text::PsuTemp), lang);
    const DisplayEntry& psu = temps.Display("PSU");
    Slot(p, psu.statusBar->Rect());
    DigitWindow(p, *psu.digit, false, QString::fromUtf8("\u00b0"));
    CardTitle(p, cards::kUnit, Title(lang, Text::Unit), lang);
    const char* sensors[] = {"T1", "T2", "T3", "T4"};
    for (int i = 0; i < 4; ++i) {
      const QRect edit = ToRect(places::kEditT[i]);
      Slot(p, edit);
      p.setFont(LatinFont(9, true));
      p.setPen(palette::kMuted);
      p.drawText(QRect(edit.left() - 15, edit.top() - 1, 13, 14), Qt::AlignRight | Qt::AlignVCenter,
                 sensors[i]);
      const DisplayEntry& d = temps.Display(sensors[i]);
      DigitWindow(p, *d.digit, false, QString::fromUtf8("\u00b0"), 5, 3);
      Slot(p, d.statusBar->Rect());
    }
    FitText(p, QRect(cards::kSensors.left() + 16, cards::kSensors.top() + 3, 200, 14),
            Qt::AlignLeft | Qt::AlignVCenter, Title(lang, Text::Sensors), UiFont(lang, 10, true),
            palette::kTitle);
  }
  RoundCorners(image, kWindowRadius, true, false);
  return image;
}

namespace {

void ConfigFan(QPainter& p, const Language& lang, const SkinTable& table, bool celsius) {
  for (const QRect& card :
       {cards::kConfigFan, cards::kConfigMode, cards::kConfigUnit, cards::kConfigCurve}) {
    Card(p, card);
  }
  CardTitle(p, cards::kConfigFan, Title(lang, Text::Fan), lang);
  CardTitle(p, cards::kConfigMode, Title(lang, Text::Mode), lang);
  CardTitle(p, cards::kConfigUnit, Title(lang, Text::Unit), lang);
  CardTitle(p, cards::kConfigCurve, Title(lang, Text::FanCurve), lang);

  const QString unit = celsius ? QString::fromUtf8("\u00b0C") : QString::fromUtf8("\u00b0F");
  const struct {
    places::Place place;
    Text label;
    QString unit;
  } fields[] = {{places::kCBTempSensor, Text::Sensor, ""},
                {places::kEditStartVol, Text::StartVoltage, "V"},
                {places::kEditRisingTemp, Text::RiseTemp, unit}};
  for (const auto& field : fields) {
    const QRect r = ToRect(field.place);
    Caption(p,
            QRect(cards::kConfigCurve.left() + 16, r.top(),
                  r.left() - cards::kConfigCurve.left() - 26, r.height()),
            lang[field.label], lang);
    Slot(p, r);
    if (!field.unit.isEmpty()) {
      p.setFont(LatinFont(11, true));
      p.setPen(palette::kMuted);
      p.drawText(QRect(r.right() + 6, r.top(), 30, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                 field.unit);
    }
  }
  FitParagraph(p, QRect(cards::kConfigCurve.left() + 16, 254, 272, 56), lang[Text::CurveHint],
               UiFont(lang, 11), palette::kMuted);
  // A legend of the two markers that set the curve.
  const QImage markers[] = {CurveMarkerVertical(true), CurveMarkerHorizontal(true)};
  const Text names[] = {Text::StartVoltage, Text::RiseTemp};
  for (int i = 0; i < 2; ++i) {
    const int y = 326 + i * 24;
    p.drawImage(cards::kConfigCurve.left() + 22, y + (i == 0 ? 0 : 4), markers[i]);
    Caption(p, QRect(cards::kConfigCurve.left() + 44, y, 240, 17), lang[names[i]], lang);
  }

  // The curve area and the two marker tracks with their scales.
  const QRect curve = ToRect(places::kLabelCurve);
  Slot(p, curve);
  const PosBarPlace& vol = *table.config.Display("FSVol").posBar;
  const PosBarPlace& temp = *table.config.Display("FSTemp").posBar;
  p.setPen(QPen(QColor(0x3c, 0x46, 0x52), 2));
  p.drawLine(vol.left + 4, vol.top - 85 + 8, vol.left + 4, vol.top + 8);
  p.drawLine(temp.left + 3, temp.top + 4, temp.left + 3 + 157, temp.top + 4);
  p.setFont(LatinFont(9));
  p.setPen(palette::kMuted);
  for (int volts : {4, 8, 12}) {
    const int y = vol.top + 8 - static_cast<int>((volts - 4) * 85 / 8.0);
    p.drawText(QRect(vol.left - 40, y - 7, 36, 14), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(volts) + " V");
  }
  for (int c : {25, 50, 74}) {
    const int x = temp.left + 3 + static_cast<int>((c - 25) * 157 / 49.0);
    const int shown =
        celsius ? c : static_cast<int>(std::lround(core::ToFahrenheit(static_cast<float>(c))));
    p.drawText(QRect(x - 20, temp.top + temp.height + 2, 40, 12), Qt::AlignCenter,
               QString::number(shown) + unit);
  }
}

void ConfigTrim(QPainter& p, const Language& lang, const SkinTable& table) {
  Card(p, cards::kConfigTrim);
  CardTitle(p, cards::kConfigTrim, Title(lang, Text::VoltageTrim), lang);
  for (const char* rail : {"12V", "5V", "33V"}) {
    const DisplayEntry& d = table.config.Display(rail);
    const StatusRectPlace& bar = *d.statusRect;
    const int cx = bar.left + bar.caliper / 2;
    p.setFont(LatinFont(15, true));
    p.setPen(palette::kText);
    p.drawText(QRect(cx - 60, 108, 120, 20), Qt::AlignCenter, RailName(rail));
    DigitWindow(p, *d.digit, true, "V");
    Caption(p, QRect(cx - 60, 126, 120, 14), lang[Text::Target], lang, Qt::AlignCenter, 10);
    const Range range = TrimRange(rail);
    const int decimals = rail == std::string("33V") ? 3 : 2;
    std::vector<Tick> ticks;
    for (int i = 0; i <= 8; ++i) {
      const double v = range.min + (range.max - range.min) * i / 8;
      ticks.push_back({i / 8.0, i % 4 == 0 ? Value(v, decimals) : QString(), i % 4 == 0});
    }
    BarScale(p, bar, ticks);
  }
  FitText(p, QRect(24, 500, 580, 18), Qt::AlignCenter, lang[Text::TrimHint], UiFont(lang, 11),
          palette::kMuted);
}

}  // namespace

QImage ConfigPicture(const Language& lang, const SkinTable& table, ConfigView view) {
  QImage image = NewImage(kPageWidth, places::kImgConfig.Height, palette::kCard);
  {
    QPainter p(&image);
    PreparePainter(p);
    p.translate(0, -places::kImgConfig.Top);  // draw in window pixels
    PageFrame(p, kPageWidth, image.height() + places::kImgConfig.Top, Title(lang, Text::Settings),
              lang);
    Card(p, kTabRail);
    Card(p, kActionBar);
    if (view == ConfigView::Voltage) {
      ConfigTrim(p, lang, table);
    } else {
      ConfigFan(p, lang, table, view == ConfigView::FanCelsius);
    }
  }
  RoundCorners(image, kWindowRadius, true, false);
  return image;
}

namespace {

struct AlarmColumnText {
  QString unit;
  std::function<std::vector<Tick>(const Range&)> ticks;
};

std::vector<Tick> EvenTicks(const Range& range, int parts, int decimals) {
  std::vector<Tick> ticks;
  for (int i = 0; i <= parts; ++i) {
    ticks.push_back(
        {double(i) / parts, Value(range.min + (range.max - range.min) * i / parts, decimals)});
  }
  return ticks;
}

// Ticks at every multiple of `step` from the range's start, labelled, plus its end.
std::vector<Tick> StepTicks(const Range& range, double step) {
  std::vector<Tick> ticks;
  const double span = range.max - range.min;
  for (double v = range.min; v < range.max - step * 0.25; v += step) {
    ticks.push_back({(v - range.min) / span, Value(v, 0)});
  }
  ticks.push_back({1, Value(range.max, 0)});
  return ticks;
}

}  // namespace

QImage AlarmPicture(const Language& lang, const SkinTable& table, AlarmGroup group, int rating,
                    bool celsius) {
  QImage image = NewImage(kPageWidth, places::kImgAlarm.Height, palette::kCard);
  {
    QPainter p(&image);
    PreparePainter(p);
    p.translate(0, -places::kImgAlarm.Top);
    PageFrame(p, kPageWidth, image.height() + places::kImgAlarm.Top, Title(lang, Text::Alarms),
              lang);
    Card(p, kTabRail);
    Card(p, kActionBar);
    Card(p, cards::kAlarmContent);
    const PageTable& alarm = table.alarm;
    const bool small = rating == 450;
    const std::string current = small ? "Current_450W" : "Current";

    struct Column {
      std::string key;
      QString label;
    };
    std::vector<Column> columns;
    Text title = Text::PowerLimit;
    QString unit;
    std::string rangeGroup;
    switch (group) {
      case AlarmGroup::Watt:
        columns = {{"Total", lang[Text::Total]}};
        unit = "W";
        rangeGroup = "Watt";
        break;
      case AlarmGroup::Voltage:
        title = Text::VoltageTolerance;
        columns = {{"Voltage\\12V", "+12V"}, {"Voltage\\5V", "+5V"}, {"Voltage\\33V", "+3.3V"}};
        unit = "%";
        rangeGroup = "Voltage";
        break;
      case AlarmGroup::Current:
        title = Text::CurrentLimit;
        for (const char* rail : {"12V1", "12V2", "12V3", "12V4", "5V", "33V"}) {
          columns.push_back({current + "\\" + rail, RailName(rail)});
        }
        unit = "A";
        rangeGroup = "Current";
        break;
      case AlarmGroup::FanSpeed:
        title = Text::MinimumSpeed;
        columns = {{"FanSpeed\\PSU", lang[Text::PsuFan]},
                   {"FanSpeed\\SystemFan", lang[Text::SystemFan]}};
        unit = "RPM";
        rangeGroup = "FanSpeed";
        break;
      case AlarmGroup::Temperature:
        title = Text::TemperatureLimit;
        columns = {{"Temperature\\PSU", "PSU"},
                   {"Temperature\\T1", "T1"},
                   {"Temperature\\T2", "T2"},
                   {"Temperature\\T3", "T3"},
                   {"Temperature\\T4", "T4"}};
        unit = celsius ? QString::fromUtf8("\u00b0C") : QString::fromUtf8("\u00b0F");
        rangeGroup = "Temperature";
        break;
    }
    CardTitle(p, QRect(cards::kAlarmContent.topLeft(), QSize(440, 30)), Title(lang, title), lang);

    for (const Column& column : columns) {
      const DisplayEntry& d = alarm.Display(column.key);
      const StatusRectPlace& bar = *d.statusRect;
      const int cx = bar.left + bar.caliper / 2;
      const std::string rail = column.key.substr(column.key.find('\\') + 1);
      const bool absent =
          small && group == AlarmGroup::Current && (rail == "12V3" || rail == "12V4");
      FitText(p, QRect(cx - 52, 116, 104, 16), Qt::AlignCenter, column.label,
              UiFont(lang, 12, true), absent ? palette::kMuted : palette::kText);
      DigitWindow(p, *d.digit, true, unit);
      const Range range = AlarmRange(rangeGroup, rail, rating);
      std::vector<Tick> ticks;
      switch (group) {
        case AlarmGroup::Watt:
          ticks = StepTicks(range, 100);
          break;
        case AlarmGroup::Voltage:
          ticks = {{0, "-10%"},
                   {0.25, "-5%"},
                   {0.5, QString::number(range.min / 0.9, 'g', 3) + " V"},
                   {0.75, "+5%"},
                   {1, "+10%"}};
          break;
        case AlarmGroup::Current:
          ticks = StepTicks(range, 5);
          break;
        case AlarmGroup::FanSpeed:
          ticks = EvenTicks(range, 3, 0);
          break;
        case AlarmGroup::Temperature:
          ticks = EvenTicks(range, 4, 0);
          if (!celsius) {
            for (Tick& t : ticks) {
              t.label = QString::number(std::lround(core::ToFahrenheit(t.label.toFloat())));
            }
          }
          break;
      }
      BarScale(p, bar, ticks);
      if (absent) {
        FitText(p, QRect(cx - 50, places::kEditATempT[0].Top - 26, 100, 14), Qt::AlignCenter,
                lang[Text::NotAt450], UiFont(lang, 10), palette::kMuted);
      }
    }
    if (group == AlarmGroup::Temperature) {
      // The names are written by colourless fields in the window's text colour (black): a
      // light plate under each keeps them legible on this dark page.
      for (const places::Place& name : places::kEditATempT) {
        const QRect plate = ToRect(name);
        Slot(p, plate);
        p.fillRect(plate.adjusted(-1, -1, 1, 1), palette::kLabel);
      }
    }
    if (group == AlarmGroup::Watt) {
      FitParagraph(p, QRect(24, 160, 200, 80), QString::number(rating) + " W", LatinFont(28, true),
                   QColor(0x3a, 0x45, 0x52));
    }
  }
  RoundCorners(image, kWindowRadius, true, false);
  return image;
}

namespace {

QImage DetailPicture(const Language& lang, const PageTable& page, int clientHeight, Text title,
                     const std::function<std::vector<Tick>(const std::string&)>& ticksOf,
                     const QString& unit, bool small) {
  QImage image = NewImage(places::kImgBK.Width, places::kImgBK.Height, palette::kMagenta);
  {
    QPainter p(&image);
    PreparePainter(p);
    const QRect client(0, 0, 627, clientHeight);
    const QRect close = page.Button("Close").rect;
    // The title ends left of the close button.
    PageFrame(p, client.width(), client.height(), Title(lang, title), lang, close.left() - 10);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kBar);
    p.drawRoundedRect(QRectF(close.adjusted(-3, -3, 3, 3)), 6, 6);
    Card(p, QRect(8, 46, client.width() - 16, client.height() - 98));
    for (const DisplayEntry& d : page.displays) {
      if (!d.statusRect) continue;
      const StatusRectPlace& bar = *d.statusRect;
      const int cx = bar.left + bar.caliper / 2;
      p.setFont(LatinFont(13, true));
      p.setPen(palette::kText);
      p.drawText(QRect(cx - 40, 58, 80, 20), Qt::AlignCenter, RailName(d.key));
      DigitWindow(p, *d.digit, true, unit, unit.isEmpty() ? 5 : 7, 6);
      BarScale(p, bar, ticksOf(d.key));
    }
    FitText(p, QRect(20, client.height() - 44, client.width() - 40, 16), Qt::AlignCenter,
            lang[Text::RangeLegend] + (small ? "    12V3, 12V4: " + lang[Text::NotAt450] : ""),
            UiFont(lang, 11), palette::kMuted);
    p.fillRect(QRect(0, client.height(), image.width(), image.height() - client.height()),
               palette::kMagenta);
    p.fillRect(QRect(client.width(), 0, image.width() - client.width(), image.height()),
               palette::kMagenta);
  }
  // Round the client area's corners; what lies beyond it stays see-through.
  QImage clientPart = image.copy(0, 0, 627, clientHeight);
  RoundCorners(clientPart, kWindowRadius, true, true);
  QPainter(&image).drawImage(0, 0, clientPart);
  return image;
}

}  // namespace

QImage VoltageWindowPicture(const Language& lang, const SkinTable& table, int rating) {
  const auto ticks = [](const std::string& rail) {
    const Range range = VoltageWindowRange(rail);
    const double nominal = (range.min + range.max) / 2;
    // The -12 V rail's bar grows with the magnitude of its negative reading.
    const QString sign = rail == "Neg12V" ? QString::fromUtf8("\u2212") : QString();
    return std::vector<Tick>{{0, sign + Value(range.min, 2)},
                             {0.25, "", false},
                             {0.5, sign + Value(nominal, rail == "33V" ? 1 : 0) + " V"},
                             {0.75, "", false},
                             {1, sign + Value(range.max, 2)}};
  };
  // Eight columns leave no room for a unit in the windows; the scales carry it.
  return DetailPicture(lang, table.voltageWindow, places::kVoltageWindowClient.Height,
                       Text::OutputVoltages, ticks, "", rating == 450);
}

QImage CurrentWindowPicture(const Language& lang, const SkinTable& table, int rating) {
  const auto ticks = [rating](const std::string& rail) {
    return StepTicks(CurrentWindowRange(rail, rating == 450 ? 550 : rating), 5);
  };
  return DetailPicture(lang, table.currentWindow, places::kCurrentWindowClient.Height,
                       Text::OutputCurrents, ticks, "A", rating == 450);
}

QImage CtrlBarPicture(BarLook look) {
  const QRect bar(0, 0, places::kImgCtrl.Width, places::kImgCtrl.Height);
  QImage image = NewImage(bar.width(), bar.height(), palette::kBar);
  {
    QPainter p(&image);
    PreparePainter(p);
    p.fillRect(QRect(0, 0, bar.width(), 1), palette::kOutline);
    p.fillRect(QRect(0, 1, bar.width(), 1),
               look == BarLook::LedOn ? palette::kAccentDim : QColor(0x2d, 0x35, 0x40));
    // The pad under the collapse arrow.
    const QRect arrow(places::kImgCtrlMode.Left, places::kImgCtrlMode.Top - places::kImgCtrl.Top,
                      places::kImgCtrlMode.Width, places::kImgCtrlMode.Height);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kOutline);
    p.drawRoundedRect(QRectF(arrow.adjusted(-4, -2, 4, 2)), 3, 3);
    // The LED switch area.
    const QRect led = ToRect(places::kLedArea);
    p.setBrush(look == BarLook::LedOver ? palette::kAccentDim : palette::kOutline);
    p.drawRoundedRect(QRectF(led).adjusted(-1, -1, 1, 1), 6, 6);
    p.setBrush(QColor(0x10, 0x14, 0x19));
    p.drawRoundedRect(QRectF(led).adjusted(0, 0, 0, 0), 5, 5);
    const bool lit = look != BarLook::LedOff;
    Lamp(p, QPointF(led.left() + 14, led.center().y() + 0.5), 5, palette::kAccent,
         look == BarLook::LedOn);
    if (look == BarLook::LedOver)
      Lamp(p, QPointF(led.left() + 14, led.center().y() + 0.5), 5, QColor(0x8a, 0xe3, 0xfa), true);
    p.setFont(LatinFont(11, true));
    p.setPen(lit ? palette::kText : palette::kMuted);
    p.drawText(QRect(led.left() + 28, led.top(), 40, led.height()),
               Qt::AlignLeft | Qt::AlignVCenter, "LED");
    // A toggle picture showing the state; the hover look shows none, as it serves both.
    const QRectF toggle(led.right() - 44, led.top() + 5, 36, 13);
    p.setBrush(look == BarLook::LedOn ? palette::kAccentDim : QColor(0x24, 0x2a, 0x31));
    p.setPen(QPen(look == BarLook::LedOff ? QColor(0x39, 0x42, 0x4d) : palette::kAccent, 1));
    p.drawRoundedRect(toggle, 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(look == BarLook::LedOver ? palette::kAccent
               : look == BarLook::LedOn ? palette::kText
                                        : palette::kMuted);
    const double knob = look == BarLook::LedOn    ? toggle.right() - 6.5
                        : look == BarLook::LedOff ? toggle.left() + 6.5
                                                  : toggle.center().x();
    p.drawEllipse(QPointF(knob, toggle.center().y()), 4.5, 4.5);
    if (look != BarLook::LedOver) {
      p.setFont(LatinFont(9, true));
      p.setPen(look == BarLook::LedOn ? palette::kAccent : palette::kMuted);
      p.drawText(QRectF(led.left() + 64, led.top(), 64, led.height()), Qt::AlignCenter,
                 look == BarLook::LedOn ? "ON" : "OFF");
    }
  }
  RoundCorners(image, kWindowRadius, false, true);
  return image;
}

QImage ModeArrow(bool up) {
  QImage image =
      NewImage(places::kImgCtrlMode.Width, places::kImgCtrlMode.Height, palette::kMagenta);
  // Hard-edged, so no pixel mixes with the see-through colour.
  for (int row = 0; row < 4; ++row) {
    const int y = up ? 2 + row : 6 - row;
    for (int x = 4 - row; x <= 4 + row; ++x) image.setPixel(x, y, palette::kAccent.rgb());
  }
  return image;
}

}  // namespace skingen
