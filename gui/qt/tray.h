// pendra --tray: an icon in the system tray that runs pendcal in the
// background and sends a desktop notification for each day's reminders.
#ifndef PENDRA_GUI_QT_TRAY_H_
#define PENDRA_GUI_QT_TRAY_H_

#include <QLocalServer>
#include <QLockFile>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <thread>

#include "common/date.h"
#include "gui/qt/file_watcher.h"
#include "gui/qt/notifier.h"
#include "gui/runner.h"
#include "gui/tray_check.h"

class QAction;
class QApplication;

namespace gui {

// Runs the tray until Quit; returns the exit status. When another tray of
// this user already runs, asks it to show the window and returns 0.
int runTray(QApplication& app);

class Tray : public QObject {
  Q_OBJECT

 public:
  // stateDir holds the state file; the lock in it is held by start().
  Tray(QString enginePath, QString stateDir);
  ~Tray() override;

  // Takes the one-tray lock and shows the icon. false when another tray
  // holds the lock.
  bool start();

  // Runs pendcal now (or again right after the run under way).
  void check();

  // Starts the calendar window as its own process.
  void openWindow();

 private:
  void finish(const EngineRun& run, const pendra::Date& today);
  void armMidnight();
  void toggleStartAtLogin(bool on);
  void onNewConnection();

 private slots:
  void onPrepareForSleep(bool sleeping);

 private:
  QString enginePath_, stateDir_;
  QLockFile lock_;
  QSystemTrayIcon icon_;
  QMenu menu_;
  QAction* startAtLogin_ = nullptr;
  Notifier notifier_;
  FileWatcher watcher_{[this] { check(); }};
  QTimer midnight_;  // the next local midnight
  QLocalServer server_;
  TrayMemory memory_;
  std::unique_ptr<EngineJob> job_;
  std::thread worker_;
  bool again_ = false;  // a check was asked for while one ran
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_TRAY_H_
