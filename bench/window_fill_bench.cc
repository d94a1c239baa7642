// How long pendra's window takes to show a month of 1,000 reminders: one
// run of the engine plus filling the grid and the list and painting them.
//   window_fill_bench [ROUNDS] [PENDCAL REMINDERS.pnd]
// Without an engine, a shell script stands in and prints a listing of
// 1,000 reminders in December 2026 (about 32 a day, one in ten announced a
// few days ahead, one in ten of two lines). With PENDCAL and a reminder
// file, that pendcal runs on it. The window shows the Month view of
// 8 December 2026. Run it with QT_QPA_PLATFORM=offscreen for CI figures.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "gui/qt/calendar_window.h"
#include "gui/qt/day_list.h"

namespace {

double showMilliseconds(gui::CalendarWindow& window) {
  QElapsedTimer timer;
  timer.start();
  window.refresh();
  while (window.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  window.grab();  // paints the window with its new grid and list
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// A listing of 1,000 reminders over December 2026, in report order.
std::string listing() {
  std::string text = "file\tpendra.pnd\n";
  char line[160];
  for (int i = 0; i < 1000; ++i) {
    int day = 1 + i * 31 / 1000;
    int matched = i % 10 == 3 ? std::min(day + 3, 31) : day;
    std::snprintf(line, sizeof line, "2026-12-%02d\t2026-12-%02d\tpendra.pnd\t%d\t%s %d%s\n", day,
                  matched, i + 1, "A reminder text of about forty bytes, number", i,
                  i % 10 == 7 ? "\\nwith a second line" : "");
    text += line;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
  QTemporaryDir directory;
  std::string engine;
  std::string reminders;
  if (argc > 3) {
    engine = argv[2];
    reminders = argv[3];
  } else {
    std::string data = directory.filePath(QStringLiteral("listing")).toStdString();
    std::ofstream(data) << listing();
    engine = directory.filePath(QStringLiteral("pendcal")).toStdString();
    std::ofstream(engine) << "#!/bin/sh\nexec cat '" << data << "'\n";
    chmod(engine.c_str(), 0755);
  }
  {
    std::ofstream(directory.filePath(QStringLiteral("pendra.ini")).toStdString())
        << "[window]\nview=month\nwidth=900\nheight=700\n[file]\nreminders=" << reminders << "\n";
  }
  gui::CalendarWindow window(
      engine, [] { return pendra::Date(8, 12, 2026); },
      directory.filePath(QStringLiteral("pendra.ini")));
  window.show();
  while (window.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  std::printf("%d list rows, %d occurrences\n", window.dayList()->count(),
              static_cast<int>(window.lastResult().listing.occurrences.size()));
  double best = 1e9, total = 0;
  for (int i = 0; i < rounds; ++i) {
    double ms = showMilliseconds(window);
    best = std::min(best, ms);
    total += ms;
  }
  std::printf("a month of reminders: best %.0f ms, mean %.0f ms over %d rounds\n", best,
              total / rounds, rounds);
  return 0;
}
