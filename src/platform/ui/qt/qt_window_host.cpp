#include "platform/ui/qt/qt_window_host.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include "platform/ui/application.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/qt/scene_widget.h"
#include "platform/ui/window.h"

namespace ui::qt {
namespace {

// Passes presses on a desktop edit or combo box to its scene control's mouse-down routine.
class PressForwarder : public QObject {
 public:
  PressForwarder(QObject* parent, Control& control, const SceneWidget& scene)
      : QObject(parent), control_(control), scene_(scene) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* press = static_cast<QMouseEvent*>(event);
      MouseEvent e;
      e.button = press->button() == Qt::RightButton    ? MouseButton::Right
                 : press->button() == Qt::MiddleButton ? MouseButton::Middle
                                                       : MouseButton::Left;
      e.pos = Point{static_cast<int>(press->position().x()) / scene_.Scale(),
                    static_cast<int>(press->position().y()) / scene_.Scale()};
      e.windowPos = Point{control_.Left() + e.pos.x, control_.Top() + e.pos.y};
      e.held = static_cast<MouseButtons>(e.button);
      if (Window* owner = control_.Owner()) owner->App().Guard([&] { control_.MouseDown(e); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  Control& control_;
  const SceneWidget& scene_;
};

QString ColorName(Color c) {
  return QColor(c.red, c.green, c.blue).name();
}

}  // namespace

QtWindowHost::QtWindowHost(Window& window, int scale)
    : DesktopWindowHost(window), widget_(std::make_unique<SceneWidget>(window, scale)) {
  widget_->setWindowTitle(QString::fromStdString(window.Caption()));
  widget_->SyncShape();
}

QtWindowHost::~QtWindowHost() {
  // The natives are children of the widget and go with it.
  natives_.clear();
}

void QtWindowHost::Invalidated(const Rect& area) {
  widget_->SceneInvalidated(area);
}

void QtWindowHost::PaintNow(const DirtyRegion& areas) {
  widget_->ScenePaintNow(areas);
}

void QtWindowHost::GeometryChanged() {
  widget_->SyncGeometry();
  for (auto& [control, native] : natives_) {
    if (native) ControlChanged(*control);
  }
}

void QtWindowHost::ShowAs(Showing showing) {
  switch (showing) {
    case Showing::Hidden:
      widget_->hide();
      break;
    case Showing::Minimized:
      widget_->showMinimized();
      break;
    case Showing::Normal:
      widget_->showNormal();
      break;
  }
}

void QtWindowHost::CaptionChanged() {
  widget_->setWindowTitle(QString::fromStdString(window_.Caption()));
}

void QtWindowHost::ShapeChanged() {
  widget_->SyncShape();
}

QWidget* QtWindowHost::NativeFor(const Control& control) const {
  const QPointer<QWidget>* native = NativeOf(control);
  return native ? native->data() : nullptr;
}

std::optional<QPointer<QWidget>> QtWindowHost::MakeNative(Control& control) {
  Application& app = window_.App();
  QWidget* native = nullptr;
  if (auto* edit = dynamic_cast<Edit*>(&control)) {
    auto* line = new QLineEdit(widget_.get());  // owned by the scene widget
    QObject::connect(line, &QLineEdit::textEdited, line, [&app, edit](const QString& text) {
      app.Guard([&] { edit->InputText(text.toStdString()); });
    });
    native = line;
  } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
    auto* box = new QComboBox(widget_.get());
    QObject::connect(box, &QComboBox::activated, box,
                     [&app, combo](int index) { app.Guard([&] { combo->InputSelect(index); }); });
    native = box;
  } else {
    return std::nullopt;
  }
  native->installEventFilter(new PressForwarder(native, control, *widget_));
  return QPointer<QWidget>(native);
}

bool QtWindowHost::Stale(const Control& /*control*/, const QPointer<QWidget>& native) const {
  return native.isNull();
}

void QtWindowHost::SyncNative(Control& control, QPointer<QWidget>& native) {
  native->setGeometry(widget_->ToWidget(control.Bounds()));
  native->setEnabled(control.Enabled());
  // A focused field that hides hands its focus down the tab chain, and the field that takes
  // it shows its text selected; the scene takes the focus back instead.
  if (!control.Visible() && native->hasFocus()) widget_->setFocus(Qt::OtherFocusReason);
  native->setVisible(control.Visible());
  if (auto* edit = dynamic_cast<Edit*>(&control)) SyncEdit(*edit, *native);
  if (auto* combo = dynamic_cast<ComboBox*>(&control)) SyncComboBox(*combo, *native);
}

void QtWindowHost::SyncEdit(Edit& edit, QWidget& native) {
  auto& line = static_cast<QLineEdit&>(native);
  const QString text = QString::fromStdString(edit.Text());
  if (line.text() != text) line.setText(text);
  line.setFrame(!edit.Borderless());
  line.setReadOnly(edit.ReadOnly());
  QFont font = line.font();
  font.setPixelSize(NativeTextHeight(edit, kEditTextInset) * widget_->Scale());
  if (font != line.font()) line.setFont(font);
  const QString background =
      edit.BackgroundColor() ? ColorName(*edit.BackgroundColor()) : QStringLiteral("transparent");
  const QString sheet =
      QStringLiteral("QLineEdit { background: %1; color: %2; %3 }")
          .arg(background, ColorName(edit.TextColor()),
               edit.Borderless() ? QStringLiteral("border: none; padding: 0;") : QString());
  // Each new sheet restyles the box from scratch; a sync that changes only the text keeps it.
  if (sheet != line.styleSheet()) line.setStyleSheet(sheet);
}

void QtWindowHost::SyncComboBox(ComboBox& combo, QWidget& native) {
  auto& box = static_cast<QComboBox&>(native);
  const QSignalBlocker quiet(box);
  bool same = box.count() == static_cast<int>(combo.Items().size());
  for (int i = 0; same && i < box.count(); ++i) {
    same = box.itemText(i).toStdString() == combo.Items()[static_cast<std::size_t>(i)];
  }
  if (!same) {
    box.clear();
    for (const std::string& item : combo.Items()) box.addItem(QString::fromStdString(item));
  }
  box.setCurrentIndex(combo.ItemIndex());
}

void QtWindowHost::DropNative(QPointer<QWidget>& native) {
  delete native.data();
}

void QtWindowHost::BeginSystemMove() {
  if (QWindow* handle = widget_->windowHandle()) handle->startSystemMove();
}

void QtWindowHost::Activate() {
  widget_->raise();
  widget_->activateWindow();
}

void QtWindowHost::CenterOnScreen() {
  const QScreen* screen = widget_->screen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  const QPoint topLeft = available.center() - QPoint(widget_->width() / 2, widget_->height() / 2);
  window_.SetPosition(Point{topLeft.x(), topLeft.y()});
}

}  // namespace ui::qt
