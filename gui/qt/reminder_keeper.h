// Makes the calendar window the place where the reminder file is kept:
// the welcome when pendcal finds no file, Edit, Add..., Open..., the
// editor at a reminder's or a problem's line, the problems beside the
// list, a new run after any change to the file or its includes, and a
// new "today" at midnight.
#ifndef PENDRA_GUI_QT_REMINDER_KEEPER_H_
#define PENDRA_GUI_QT_REMINDER_KEEPER_H_

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "common/date.h"
#include "gui/listing.h"

class QListWidgetItem;
class QPushButton;

namespace gui {

class AddDialog;
class CalendarWindow;
class FileWatcher;
class MidnightTimer;
class ProblemsView;
class WelcomeWidget;

class ReminderKeeper : public QObject {
 public:
  using Clock = std::function<pendra::Date()>;
  // Asks for a reminder file to open; "" when cancelled.
  using FileChooser = std::function<QString()>;
  // Shows the Add form; the default runs it modally.
  using ShowAdd = std::function<void(AddDialog&)>;

  // Adds its parts to window, which runs enginePath. settingsFile is the
  // window's (empty: the usual place).
  ReminderKeeper(CalendarWindow* window, std::string enginePath, Clock clock = pendra::today,
                 QString settingsFile = {});
  ~ReminderKeeper() override;

  // Lists file from now on (given with -f); remember also writes it to the
  // settings file so that the next start opens it.
  void useFile(const std::string& file, bool remember);

  // The buttons.
  void edit();
  void add();
  void open();
  // Opens file at line in the editor; a failure goes to the status line.
  void openAt(const std::string& file, int line);

  void setFileChooser(FileChooser chooser);
  void setShowAdd(ShowAdd show) { showAdd_ = std::move(show); }

  // The file Edit and Add... act on: the listing's first file record, else
  // the file given with -f; empty when there is none.
  std::string reminderFile() const;

  WelcomeWidget* welcome() const { return welcome_; }
  ProblemsView* problems() const { return problems_; }
  FileWatcher* watcher() const { return watcher_; }

 private:
  void listed(const ListingResult& result);
  void activated(QListWidgetItem* item);
  void newDay(const pendra::Date& previous);

  CalendarWindow* window_;
  std::string enginePath_;
  QString settingsFile_;
  FileChooser chooseFile_;
  ShowAdd showAdd_;
  WelcomeWidget* welcome_;
  ProblemsView* problems_;
  QPushButton* edit_;
  QPushButton* add_;
  QPushButton* open_;
  FileWatcher* watcher_;
  MidnightTimer* midnight_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_REMINDER_KEEPER_H_
