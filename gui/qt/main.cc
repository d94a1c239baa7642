// pendra: the reminder window, or with --tray the tray companion that sends
// the day's reminders as desktop notifications. Runs the pendcal found next
// to it.
#include <QApplication>
#include <cstring>

#include "gui/qt/reminder_dialog.h"
#include "gui/qt/tray.h"
#include "gui/runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--tray") == 0) return gui::runTray(app);
  gui::ReminderDialog dialog(gui::enginePath());
  dialog.show();
  app.exec();
  return 0;
}
