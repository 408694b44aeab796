#include "historyview/history_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace historyview {
namespace {

struct RangeButton {
  RangeChoice range;
  const char* caption;
};
constexpr RangeButton kRanges[] = {{RangeChoice::Hour, "1 h"},
                                   {RangeChoice::Day, "24 h"},
                                   {RangeChoice::Week, "7 d"},
                                   {RangeChoice::Month, "30 d"}};

constexpr const char* kTitle = "Quelta \u2013 History";

QString When(std::int64_t ms) {
  return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("d MMM HH:mm"));
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryWindowHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), hooks_(std::move(hooks)) {
  setWindowTitle(QString::fromUtf8(kTitle));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 8, 10, 6);
  layout->setSpacing(6);

  auto* bar = new QHBoxLayout();
  ranges_ = new QButtonGroup(this);
  ranges_->setExclusive(true);
  for (const RangeButton& r : kRanges) {
    auto* button = new QPushButton(QString::fromLatin1(r.caption), this);
    button->setCheckable(true);
    button->setMinimumWidth(56);
    ranges_->addButton(button, static_cast<int>(r.range));
    bar->addWidget(button);
  }
  ranges_->button(static_cast<int>(RangeChoice::Day))->setChecked(true);
  QObject::connect(ranges_, &QButtonGroup::idClicked, this,
                   [this](int id) { ShowRange(static_cast<RangeChoice>(id)); });
  bar->addStretch(1);
  record_ = new QCheckBox(QStringLiteral("Record history"), this);
  record_->setVisible(static_cast<bool>(hooks_.recording && hooks_.setRecording));
  QObject::connect(record_, &QCheckBox::clicked, this, [this](bool on) {
    if (!hooks_.setRecording(on)) {
      // Not stored: the box shows what holds.
      record_->setChecked(hooks_.recording());
      status_->setText(QStringLiteral("The recording switch could not be stored."));
    }
  });
  bar->addWidget(record_);
  layout->addLayout(bar);

  model_.SetRange(RangeChoice::Day, hooks_.now ? hooks_.now() : 0);
  chart_ = new HistoryChart(model_, this);
  layout->addWidget(chart_, 1);
  status_ = new QLabel(this);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(status_);
}

void HistoryWindow::Open() {
  Reload();
  if (isMinimized()) showNormal();
  if (!testAttribute(Qt::WA_Resized)) FitScreen();  // the user's size, once given, holds
  show();
  raise();
  activateWindow();
}

void HistoryWindow::FitScreen() {
  // The charts' natural size is taller than a small laptop's screen; there the window opens
  // smaller, so its time axis and status line stay in sight.
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QSize room = screen->availableGeometry().size() * 0.9;
  resize(sizeHint().boundedTo(room).expandedTo(minimumSizeHint()));
}

void HistoryWindow::ShowRange(RangeChoice range) {
  if (QAbstractButton* button = ranges_->button(static_cast<int>(range))) button->setChecked(true);
  model_.SetRange(range, hooks_.now());
  Reload();
}

void HistoryWindow::Reload() {
  if (hooks_.recording) record_->setChecked(hooks_.recording());
  const std::int64_t now = hooks_.now();
  model_.SetRange(model_.Range(), now);
  HistoryRecord record = hooks_.load ? hooks_.load(model_.FromMs(), now) : HistoryRecord{};
  const QString error = QString::fromStdString(record.error);
  model_.SetRecord(std::move(record.rows), std::move(record.events));
  // Every row counts the polls behind it, whether a poll or a folded stretch.
  const std::uint64_t shown = model_.StatsOf(Channel::Watt).polls;
  if (!error.isEmpty()) {
    status_->setText(error);
  } else if (shown == 0) {
    status_->setText(QStringLiteral("Nothing recorded from %1 to %2.")
                         .arg(When(model_.FromMs()), When(model_.ToMs())));
  } else {
    status_->setText(QStringLiteral("%1 polls from %2 to %3; shaded: alarms (red), PSU not "
                                    "connected (grey). Point at the chart for the readings.")
                         .arg(QLocale().toString(static_cast<qulonglong>(shown)),
                              When(model_.FromMs()), When(model_.ToMs())));
  }
  chart_->Refresh();
}

}  // namespace historyview
