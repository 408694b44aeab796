#include "platform/ui/qt/qt_dialogs.h"

#include <QMessageBox>
#include <algorithm>

namespace ui::qt {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtDialogs::ShowMessage(std::string_view text) {
  if (std::find(waiting_.begin(), waiting_.end(), text) != waiting_.end()) return;
  waiting_.emplace_back(text);
  // Taken off however the box ends; a box opened meanwhile (nested) has ended before it.
  struct Answered {
    std::vector<std::string>& waiting;
    ~Answered() { waiting.pop_back(); }
  } answered{waiting_};
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title_), ToQString(text),
                  QMessageBox::Ok);
  box.exec();
}

bool QtDialogs::AskYesNo(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title_), ToQString(text),
                  QMessageBox::Yes | QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void QtDialogs::ShowError(std::string_view text) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(title_), ToQString(text),
                  QMessageBox::Ok);
  box.exec();
}

}  // namespace ui::qt
