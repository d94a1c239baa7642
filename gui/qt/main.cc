// pendra: the reminder window, or with --tray the tray companion that sends
// the day's reminders as desktop notifications. Runs the pendcal found next
// to it. "pendra FILE" lists that file instead of the one pendcal would find.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "gui/qt/calendar_window.h"
#include "gui/qt/reminder_keeper.h"
#include "gui/qt/tray.h"
#include "gui/runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pendra"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pendra"));
  QApplication::setDesktopFileName(QStringLiteral("pendra"));
  QStringList arguments = QApplication::arguments().mid(1);
  if (arguments == QStringList{QStringLiteral("--tray")}) return gui::runTray(app);
  if (arguments.size() > 1 || (!arguments.isEmpty() && arguments[0].startsWith(QLatin1Char('-')))) {
    std::fputs("usage: pendra [FILE]\n       pendra --tray\n", stderr);
    return 2;
  }
  QApplication::setWindowIcon(gui::pendraIcon());
  gui::CalendarWindow window(gui::enginePath());
  gui::ReminderKeeper keeper(&window, gui::enginePath());
  // The file named here is remembered, as one opened in the window is.
  if (!arguments.isEmpty())
    keeper.useFile(QDir::cleanPath(QFileInfo(arguments[0]).absoluteFilePath()).toStdString(), true);
  window.show();
  return app.exec();
}
