// Renders the reminder window into an image file, for the documentation:
//   pendra_screenshot ENGINE DAY MONTH YEAR OUTPUT.png
// The engine finds its reminder file as usual (USERPROFILE or HOME).
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "gui/qt/reminder_dialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 6) {
    std::fprintf(stderr, "usage: pendra_screenshot ENGINE DAY MONTH YEAR OUTPUT.png\n");
    return 1;
  }
  pendra::Date date(static_cast<uint8_t>(std::atoi(argv[2])),
                    static_cast<uint8_t>(std::atoi(argv[3])),
                    static_cast<uint32_t>(std::atoi(argv[4])));
  gui::ReminderDialog dialog(argv[1], [date] { return date; });
  dialog.show();
  while (dialog.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QApplication::processEvents();
  if (!dialog.grab().save(QString::fromLocal8Bit(argv[5]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[5]);
    return 1;
  }
  return 0;
}
