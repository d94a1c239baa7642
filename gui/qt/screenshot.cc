// Renders the reminder window into an image file, for the documentation:
//   pendra_screenshot ENGINE DAY MONTH YEAR OUTPUT.png [WIDTH HEIGHT]
// The engine finds its reminder file as usual. The window starts with no
// remembered settings, and "today" is the date given.
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "gui/qt/calendar_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 6 && argc != 8) {
    std::fprintf(stderr, "usage: pendra_screenshot ENGINE DAY MONTH YEAR OUTPUT.png [W H]\n");
    return 1;
  }
  pendra::Date date(static_cast<uint8_t>(std::atoi(argv[2])),
                    static_cast<uint8_t>(std::atoi(argv[3])),
                    static_cast<uint32_t>(std::atoi(argv[4])));
  QTemporaryDir settings;
  gui::CalendarWindow window(
      argv[1], [date] { return date; }, settings.filePath(QStringLiteral("pendra.ini")));
  if (argc == 8) window.resize(std::atoi(argv[6]), std::atoi(argv[7]));
  window.show();
  while (window.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QApplication::processEvents();
  if (!window.grab().save(QString::fromLocal8Bit(argv[5]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[5]);
    return 1;
  }
  return 0;
}
