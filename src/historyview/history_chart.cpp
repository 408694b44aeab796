#include "historyview/history_chart.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "historyview/history_band.h"

namespace historyview {
namespace {

// Room around the plots for the axes and each panel's header.
constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 16;
constexpr int kTopMargin = 6;
constexpr int kAxisHeight = 22;
constexpr int kHeaderHeight = 34;
constexpr int kPanelGap = 6;
constexpr int kYTicks = 4;
// Columns further apart than this are not joined by the mean line: a gap in the record.
constexpr std::int64_t kJoinGapMs = 15'000;

const QColor kBackground(250, 250, 252);
const QColor kPlotBackground(255, 255, 255);
const QColor kGrid(226, 228, 233);
const QColor kText(40, 44, 52);
const QColor kMutedText(110, 116, 128);
const QColor kAlarmShade(220, 40, 40, 38);
const QColor kLossShade(120, 120, 130, 60);
const QColor kPointer(40, 44, 52, 180);

// One colour per reading of a panel, in order.
const QColor kSeries[] = {QColor(31, 119, 180), QColor(214, 39, 40), QColor(44, 160, 44),
                          QColor(255, 127, 14), QColor(148, 103, 189)};

QString Number(float value, int decimals) {
  return QString::number(static_cast<double>(value), 'f', decimals);
}

// A round step for about `ticks` ticks over `span`.
double NiceStep(double span, int ticks) {
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (raw <= m * power) return m * power;
  }
  return 10.0 * power;
}

}  // namespace

HistoryChart::HistoryChart(const HistoryModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      panels_{
          {"Power", {Channel::Watt}},
          {"12 V rails", {Channel::Vol12V1, Channel::Vol12V2, Channel::Vol12V3, Channel::Vol12V4}},
          {"5 V and 3.3 V", {Channel::Vol5V, Channel::Vol33V}},
          {"Temperatures",
           {Channel::TempPSU, Channel::TempT1, Channel::TempT2, Channel::TempT3, Channel::TempT4}},
          {"Fans", {Channel::FanPSU, Channel::FanSystem}}} {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize HistoryChart::sizeHint() const {
  return {960, 760};
}

QSize HistoryChart::minimumSizeHint() const {
  return {480, 420};
}

void HistoryChart::Refresh() {
  update();
}

void HistoryChart::SetPointerTime(std::optional<std::int64_t> timeMs) {
  if (timeMs == pointer_) return;
  pointer_ = timeMs;
  update();
}

QRect HistoryChart::PlotArea() const {
  return QRect(kLeftMargin, kTopMargin, std::max(1, width() - kLeftMargin - kRightMargin),
               std::max(1, height() - kTopMargin - kAxisHeight));
}

QRect HistoryChart::PanelRect(std::size_t index) const {
  const QRect area = PlotArea();
  const int count = static_cast<int>(panels_.size());
  const int each = (area.height() - kPanelGap * (count - 1)) / count;
  const int top = area.top() + static_cast<int>(index) * (each + kPanelGap);
  // The header sits on top of the panel; the plot under it.
  return QRect(area.left(), top + kHeaderHeight, area.width(), std::max(1, each - kHeaderHeight));
}

int HistoryChart::XOf(std::int64_t timeMs, const QRect& plot) const {
  const double span = static_cast<double>(model_.ToMs() - model_.FromMs());
  if (span <= 0) return plot.left();
  return plot.left() + static_cast<int>(std::lround(static_cast<double>(timeMs - model_.FromMs()) /
                                                    span * plot.width()));
}

void HistoryChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  QFont small = font();
  small.setPointSizeF(std::max(7.0, font().pointSizeF() - 1.0));
  painter.setFont(small);
  for (std::size_t i = 0; i < panels_.size(); ++i) PaintPanel(painter, i, PanelRect(i));
  PaintTimeAxis(painter, PanelRect(panels_.size() - 1));
}

void HistoryChart::PaintMarks(QImage& overlay, const QRect& plot) const {
  // In the overlay's pixels: the plot's left edge is its column 0.
  const auto xOf = [&](std::int64_t timeMs) { return XOf(timeMs, plot) - plot.left(); };
  for (const Period& p : model_.AlarmPeriods()) {
    const int left = xOf(p.fromMs);
    FillRect(overlay, QRect(left, 0, std::max(2, xOf(p.toMs) - left), plot.height()),
             kAlarmShade.rgba());
  }
  for (const Period& p : model_.ConnectionLosses()) {
    const int left = xOf(p.fromMs);
    HatchRect(overlay, QRect(left, 0, std::max(2, xOf(p.toMs) - left), plot.height()),
              kLossShade.rgba());
    FillRect(overlay, QRect(left, 0, 2, plot.height()), kLossShade.rgba());
  }
}

int HistoryChart::ValueScale::YOf(double value) const {
  return plot.bottom() -
         static_cast<int>(std::lround((value - bottom) / (top - bottom) * plot.height()));
}

// Every reading of the panel over the range, with some room.
HistoryChart::ValueScale HistoryChart::ScaleOf(const Panel& panel, const QRect& plot) const {
  float low = 0.0f, high = 0.0f;
  bool any = false;
  for (Channel c : panel.channels) {
    const Stats s = model_.StatsOf(c);
    if (s.polls == 0) continue;
    low = any ? std::min(low, s.min) : s.min;
    high = any ? std::max(high, s.max) : s.max;
    any = true;
  }
  if (!any || high - low < 1e-3f) {
    low -= 1.0f;
    high += 1.0f;
  }
  const double pad = (high - low) * 0.08;
  const double step = NiceStep(high - low + 2 * pad, kYTicks);
  return {std::floor((low - pad) / step) * step, std::ceil((high + pad) / step) * step, step, plot};
}

// Grid lines and value labels.
void HistoryChart::PaintGrid(QPainter& painter, const ValueScale& scale) const {
  const int decimals = scale.step < 0.1 ? 2 : scale.step < 1 ? 1 : 0;
  for (double v = scale.bottom; v <= scale.top + scale.step / 2; v += scale.step) {
    const int y = scale.YOf(v);
    painter.setPen(kGrid);
    painter.drawLine(scale.plot.left(), y, scale.plot.right(), y);
    painter.setPen(kMutedText);
    painter.drawText(QRect(0, y - 8, kLeftMargin - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(v, 'f', decimals));
  }
}

void HistoryChart::PaintSeries(QPainter& painter, QImage& overlay, const Panel& panel,
                               const ValueScale& scale) const {
  const QRect& plot = scale.plot;
  const std::int64_t span = model_.ToMs() - model_.FromMs();
  const double msPerColumn = plot.width() > 0 ? static_cast<double>(span) / plot.width() : 0;
  const int joinColumns = std::max(1, static_cast<int>(kJoinGapMs / std::max(1.0, msPerColumn)));
  std::vector<std::vector<Column>> columns;
  for (const Channel c : panel.channels) columns.push_back(model_.Columns(c, plot.width()));

  // Every reading's min..max band, blended into the picture of the plot; the means on top.
  std::vector<BandSpan> spans;
  for (std::size_t s = 0; s < columns.size(); ++s) {
    spans.clear();
    for (int x = 0; x < static_cast<int>(columns[s].size()); ++x) {
      const Column& c = columns[s][static_cast<std::size_t>(x)];
      if (c.any) spans.push_back({x, scale.YOf(c.max) - plot.top(), scale.YOf(c.min) - plot.top()});
    }
    QColor band = kSeries[s % std::size(kSeries)];
    band.setAlpha(45);
    FillBand(overlay, spans, joinColumns, band.rgba());
  }
  painter.drawImage(plot.topLeft(), overlay);

  // Each run of joined columns: its mean as one line.
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setBrush(Qt::NoBrush);
  std::vector<QPointF> means;
  for (std::size_t s = 0; s < columns.size(); ++s) {
    painter.setPen(QPen(kSeries[s % std::size(kSeries)], 1.0));
    const auto flush = [&] {
      if (!means.empty()) painter.drawPolyline(means.data(), static_cast<int>(means.size()));
      means.clear();
    };
    int lastX = -1000000;
    for (int x = 0; x < static_cast<int>(columns[s].size()); ++x) {
      const Column& c = columns[s][static_cast<std::size_t>(x)];
      if (!c.any) continue;
      if (x - lastX > joinColumns) flush();
      means.emplace_back(plot.left() + x + 0.5, scale.YOf(c.mean));
      lastX = x;
    }
    flush();
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
}

void HistoryChart::PaintPanel(QPainter& painter, std::size_t index, const QRect& plot) const {
  const Panel& panel = panels_[index];
  const ValueScale scale = ScaleOf(panel, plot);
  painter.fillRect(plot, kPlotBackground);
  PaintGrid(painter, scale);
  // Shades, hatching and bands are blended by hand into one picture: the raster engine would
  // hand each tall translucent fill to its pool of threads and wait for them, hundreds of times
  // for a month of alarms, which on a busy machine cost more than everything else.
  QImage overlay(plot.size(), QImage::Format_ARGB32_Premultiplied);
  overlay.fill(Qt::transparent);
  PaintMarks(overlay, plot);
  PaintSeries(painter, overlay, panel, scale);

  // The pointer's moment.
  if (pointer_) {
    painter.setPen(QPen(kPointer, 1, Qt::DashLine));
    const int x = XOf(*pointer_, plot);
    painter.drawLine(x, plot.top(), x, plot.bottom());
  }
  painter.setPen(kGrid);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot.adjusted(0, 0, -1, -1));
  PaintHeader(painter, panel, plot);
}

void HistoryChart::PaintHeader(QPainter& painter, const Panel& panel, const QRect& plot) const {
  const QFontMetrics metrics = painter.fontMetrics();
  const QString unit =
      QString::fromUtf8(InfoOf(panel.channels.front()).unit.data(),
                        static_cast<int>(InfoOf(panel.channels.front()).unit.size()));
  const std::optional<HistoryRow> at = pointer_ ? model_.ReadingsAt(*pointer_) : std::nullopt;
  // The header: the title, then per reading its colour, name and min/mean/max (or its value at
  // the pointer).
  const int line1 = plot.top() - kHeaderHeight + 2;
  QFont bold = painter.font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(kText);
  QString title = QString::fromLatin1(panel.title) + "  (" + unit + ")";
  painter.drawText(QPoint(plot.left(), line1 + metrics.ascent()), title);
  const int titleWidth = QFontMetrics(bold).horizontalAdvance(title);
  QFont normal = bold;
  normal.setBold(false);
  painter.setFont(normal);
  if (pointer_) {
    painter.setPen(kMutedText);
    const QString when =
        QDateTime::fromMSecsSinceEpoch(*pointer_).toString(QStringLiteral("ddd d MMM HH:mm:ss"));
    painter.drawText(QPoint(plot.left() + titleWidth + 16, line1 + metrics.ascent()),
                     at ? when : when + QStringLiteral("  (no reading)"));
  }
  int x = plot.left();
  const int line2 = line1 + metrics.height() + 1;
  for (std::size_t s = 0; s < panel.channels.size(); ++s) {
    const Channel c = panel.channels[s];
    const ChannelInfo& info = InfoOf(c);
    const QString name = QString::fromUtf8(info.name.data(), static_cast<int>(info.name.size()));
    QString text;
    if (pointer_) {
      text = at ? name + " " + Number((*at)[c].mean, info.decimals) : name + " \u2013";
    } else {
      const Stats st = model_.StatsOf(c);
      text = st.polls == 0
                 ? name + " \u2013"
                 : name + "  " + Number(st.min, info.decimals) + " / " +
                       Number(st.mean, info.decimals) + " / " + Number(st.max, info.decimals);
    }
    painter.fillRect(QRect(x, line2 + metrics.ascent() - 8, 10, 8),
                     kSeries[s % std::size(kSeries)]);
    painter.setPen(kText);
    painter.drawText(QPoint(x + 14, line2 + metrics.ascent()), text);
    x += 14 + metrics.horizontalAdvance(text) + 18;
  }
  if (!pointer_) {
    painter.setPen(kMutedText);
    painter.drawText(QRect(plot.left(), line2, plot.width(), metrics.height()),
                     Qt::AlignRight | Qt::AlignTop, QStringLiteral("min / mean / max"));
  }
}

void HistoryChart::PaintTimeAxis(QPainter& painter, const QRect& lastPlot) const {
  const std::int64_t span = model_.ToMs() - model_.FromMs();
  if (span <= 0) return;
  struct Scale {
    std::int64_t stepMs;
    const char* format;
  };
  constexpr std::int64_t kMin = 60'000, kH = 60 * kMin, kD = 24 * kH;
  const Scale scale = span <= kH + kMin       ? Scale{10 * kMin, "HH:mm"}
                      : span <= kD + kMin     ? Scale{3 * kH, "HH:mm"}
                      : span <= 7 * kD + kMin ? Scale{kD, "ddd d"}
                                              : Scale{5 * kD, "d MMM"};
  // Ticks on round local times: the offset of local time is taken from the range's end.
  const std::int64_t offset =
      static_cast<std::int64_t>(QDateTime::fromMSecsSinceEpoch(model_.ToMs()).offsetFromUtc()) *
      1000;
  std::int64_t t = ((model_.FromMs() + offset) / scale.stepMs + 1) * scale.stepMs - offset;
  painter.setPen(kMutedText);
  for (; t <= model_.ToMs(); t += scale.stepMs) {
    const int x = XOf(t, lastPlot);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
      const QRect plot = PanelRect(i);
      painter.setPen(kGrid);
      painter.drawLine(x, plot.top() + 1, x, plot.bottom() - 1);
    }
    painter.setPen(kMutedText);
    painter.drawText(QRect(x - 50, lastPlot.bottom() + 4, 100, kAxisHeight - 4),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QDateTime::fromMSecsSinceEpoch(t).toString(QString::fromLatin1(scale.format)));
  }
}

void HistoryChart::mouseMoveEvent(QMouseEvent* event) {
  const QRect area = PlotArea();
  const int x = static_cast<int>(event->position().x());
  if (x < area.left() || x > area.right()) {
    SetPointerTime(std::nullopt);
    return;
  }
  const double share = static_cast<double>(x - area.left()) / std::max(1, area.width());
  SetPointerTime(
      model_.FromMs() +
      static_cast<std::int64_t>(share * static_cast<double>(model_.ToMs() - model_.FromMs())));
}

void HistoryChart::leaveEvent(QEvent*) {
  SetPointerTime(std::nullopt);
}

}  // namespace historyview
