#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "historyview/history_chart.h"
#include "historyview/history_model.h"

namespace historyview {

// What the window reads: the rows and events of a stretch of time, or why it could not.
struct HistoryRecord {
  std::vector<HistoryRow> rows;
  std::vector<HistoryEvent> events;
  std::string error;  // empty when the record was read
};

// Where the window gets its record and the recording switch; the program hands in the real
// database reader, tests a generated database.
struct HistoryWindowHooks {
  // The record between two moments (Unix ms). Never blocks the recorder: it reads.
  std::function<HistoryRecord(std::int64_t fromMs, std::int64_t toMs)> load;
  // The present, in Unix ms.
  std::function<std::int64_t()> now;
  // The recording switch; without them the "Record history" box is not shown.
  std::function<bool()> recording;
  std::function<bool(bool on)> setRecording;  // false: the switch could not be stored
};

// The history window: the range buttons (1 h, 24 h, 7 d, 30 d), the "Record history" box, the
// chart of the record over the range, and a line that says what is shown. Made once, kept
// hidden between openings. UI thread only.
class HistoryWindow : public QWidget {
 public:
  explicit HistoryWindow(HistoryWindowHooks hooks, QWidget* parent = nullptr);

  // Reads the record afresh and shows the window in front (the tray item and the message).
  void Open();
  // Shows another range, read afresh.
  void ShowRange(RangeChoice range);

  const HistoryModel& Model() const { return model_; }
  HistoryChart& Chart() { return *chart_; }
  QString StatusText() const { return status_->text(); }
  QCheckBox* RecordBox() const { return record_; }

 private:
  void Reload();
  // The size before any other is given: the charts' own, bounded by the screen.
  void FitScreen();

  HistoryWindowHooks hooks_;
  HistoryModel model_;
  HistoryChart* chart_ = nullptr;
  QButtonGroup* ranges_ = nullptr;
  QCheckBox* record_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace historyview
