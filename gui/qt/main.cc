// pendra: the reminder window. Runs the pendcal found next to it.
#include <QApplication>

#include "gui/qt/reminder_dialog.h"
#include "gui/runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  gui::ReminderDialog dialog(gui::enginePath());
  dialog.show();
  app.exec();
  return 0;
}
