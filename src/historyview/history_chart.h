#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "historyview/history_model.h"

namespace historyview {

// The readings of the range shown, drawn in five stacked panels (power, the 12 V rails, 5 V and
// 3.3 V, the temperatures, the fans): per pixel column the band from min to max and the mean
// as a line, alarm periods shaded red, connection losses grey, each panel headed by the
// min/mean/max of its readings over the range, or their values at the pointer while it is over
// the chart. Draws from the model alone; the window owns both.
class HistoryChart : public QWidget {
 public:
  explicit HistoryChart(const HistoryModel& model, QWidget* parent = nullptr);

  // The model changed: draw again.
  void Refresh();
  // Where the pointer is, as a moment; none when it is not over the plots.
  std::optional<std::int64_t> PointerTime() const { return pointer_; }
  // Moves the pointer to a moment (as the mouse does), or away.
  void SetPointerTime(std::optional<std::int64_t> timeMs);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  struct Panel {
    const char* title;
    std::vector<Channel> channels;
  };

  QRect PlotArea() const;
  QRect PanelRect(std::size_t index) const;
  // A panel's value scale: grid lines from `bottom` to `top` every `step`, and the pixel row
  // of a value in `plot`.
  struct ValueScale {
    double bottom = 0.0;
    double top = 1.0;
    double step = 1.0;
    QRect plot;
    int YOf(double value) const;
  };

  void PaintPanel(QPainter& painter, std::size_t index, const QRect& plot) const;
  ValueScale ScaleOf(const Panel& panel, const QRect& plot) const;
  void PaintGrid(QPainter& painter, const ValueScale& scale) const;
  // The marks and every reading's band, blended into `overlay` (the plot's picture, drawn over
  // the grid); then the means on top.
  void PaintSeries(QPainter& painter, QImage& overlay, const Panel& panel,
                   const ValueScale& scale) const;
  void PaintHeader(QPainter& painter, const Panel& panel, const QRect& plot) const;
  void PaintMarks(QImage& overlay, const QRect& plot) const;
  void PaintTimeAxis(QPainter& painter, const QRect& lastPlot) const;
  int XOf(std::int64_t timeMs, const QRect& plot) const;

  const HistoryModel& model_;
  std::vector<Panel> panels_;
  std::optional<std::int64_t> pointer_;
};

}  // namespace historyview
