// pendra: the reminder window. Runs the pendcal found next to it.
#include <QApplication>

#include "gui/qt/calendar_window.h"
#include "gui/runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pendra"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pendra"));
  QApplication::setDesktopFileName(QStringLiteral("pendra"));
  QApplication::setWindowIcon(gui::pendraIcon());
  gui::CalendarWindow window(gui::enginePath());
  window.show();
  return app.exec();
}
