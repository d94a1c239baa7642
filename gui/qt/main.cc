// pendra: the reminder window. Runs the pendcal found next to it.
#include <QApplication>
#include <QIcon>

#include "gui/qt/calendar_window.h"
#include "gui/runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pendra"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pendra"));
  QApplication::setDesktopFileName(QStringLiteral("pendra"));
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/pendra/pendra-%1.png").arg(size), QSize(size, size));
  }
  QApplication::setWindowIcon(icon);
  gui::CalendarWindow window(gui::enginePath());
  window.show();
  return app.exec();
}
