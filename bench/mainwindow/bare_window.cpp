// The yardstick for the window's figures: a bare frameless Qt window of the main window's size
// that shows one label. `bare_window --screenshot FILE` writes its first frame and exits, as
// `quelta --screenshot FILE --screenshot-after 0` does; without it the window stays up.
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.resize(630, 659);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(new QLabel(QStringLiteral("Watt: 345.20")));
  window.show();
  if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0) {
    const QString file = QString::fromLocal8Bit(argv[2]);
    // The file name outlives this block only as the routine's own copy.
    QTimer::singleShot(0, &window, [&window, &app, file] {
      window.grab().save(file, "PNG");
      app.quit();
    });
  }
  return app.exec();
}
