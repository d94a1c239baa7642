// How long the Qt reminder window takes to show 1 MiB of engine output,
// on whatever platform Qt is given (QT_QPA_PLATFORM=offscreen for CI):
//   gui_fill_bench [ROUNDS]
// A shell script stands in for pendcal and prints 16384 lines of 64 bytes.
// Prints the time from Update until the list is filled and painted, with
// uniform item sizes (as the dialog sets them) and without.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "gui/qt/reminder_dialog.h"

namespace {

double showMilliseconds(gui::ReminderDialog& dialog) {
  QElapsedTimer timer;
  timer.start();
  dialog.refresh();
  while (dialog.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  dialog.grab();  // paints the window with its new list
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  char directory[] = "/tmp/pendra_fill_bench_XXXXXX";
  if (mkdtemp(directory) == nullptr) return 1;
  std::string engine = std::string(directory) + "/pendcal";
  {
    std::ofstream out(engine);
    out << "#!/bin/sh\nyes 'fri 18 dec 2026: a reminder text of about fifty bytes, padded' | "
           "head -c 1048576\n";
  }
  chmod(engine.c_str(), 0755);

  gui::ReminderDialog dialog(engine);
  dialog.show();
  while (dialog.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("list"));
  std::printf("%d lines\n", list->count());
  for (bool uniform : {true, false}) {
    list->setUniformItemSizes(uniform);
    double best = 1e9, total = 0;
    for (int i = 0; i < rounds; ++i) {
      double ms = showMilliseconds(dialog);
      best = std::min(best, ms);
      total += ms;
    }
    std::printf("uniform item sizes %-3s: best %.0f ms, mean %.0f ms over %d rounds\n",
                uniform ? "on" : "off", best, total / rounds, rounds);
  }
  unlink(engine.c_str());
  rmdir(directory);
  return 0;
}
