// The reminder window with Qt Widgets: a row of date buttons around a date
// editor, a label naming the date of the last Update, an Export button, and
// a list of the engine's report lines for the window around the date. The
// engine runs on a worker thread, so the window answers while it works.
#ifndef PENDRA_GUI_QT_REMINDER_DIALOG_H_
#define PENDRA_GUI_QT_REMINDER_DIALOG_H_

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "common/date.h"
#include "gui/runner.h"

class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;

namespace gui {

class ReminderDialog : public QDialog {
 public:
  using Clock = std::function<pendra::Date()>;
  // Asks for the file an export goes to; an empty name cancels it.
  using SaveChooser = std::function<QString()>;

  // Sets the date to clock() and starts Update once. enginePath is the
  // pendcal to run; clock gives "today".
  explicit ReminderDialog(std::string enginePath, Clock clock = pendra::today,
                          QWidget* parent = nullptr);
  // Stops the engine if it runs and waits for it.
  ~ReminderDialog() override;

  // What the buttons do. The first three move the date and leave the list
  // alone; refresh starts the engine for the date (stopping a run still
  // going) and shows the label at once and the report when it ends;
  // exportCalendar asks for a file and writes the date's window to it as
  // an iCalendar object, or lists why it could not.
  void showToday();
  void stepBack();
  void stepForward();
  void refresh();
  void exportCalendar();

  // True from the start of a run until its result is shown.
  bool busy() const { return worker_.joinable(); }

  // Replaces the platform's save dialog (for tests).
  void setSaveChooser(SaveChooser chooser) { chooseFile_ = std::move(chooser); }

  // The date in the editor; the weekday is 0.
  pendra::Date pickedDate() const;
  void setPickedDate(const pendra::Date& date);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Escape does not close the window; only closing it does.
  void keyPressEvent(QKeyEvent* event) override;
  // Closing stops the engine at once.
  void closeEvent(QCloseEvent* event) override;

 private:
  // Places the controls in dialog units of the dialog's font, as a Windows
  // dialog template does; the list takes any extra room.
  void placeControls();
  // Stops the current run, if any, waits for its thread, then starts this
  // one; exportFile is empty for an Update.
  void start(EngineRequest request, std::string exportFile);
  // The worker's run has ended; shows it unless a newer run replaced it.
  void finish(uint64_t generation);
  void stopRun();
  void setBusy(bool busy);
  void showLines(const std::vector<std::string>& lines);

  std::string enginePath_;
  Clock clock_;
  SaveChooser chooseFile_;
  double unitX_ = 1.5;  // pixels per horizontal dialog unit
  double unitY_ = 1.5;  // pixels per vertical dialog unit
  QPushButton* today_;
  QPushButton* back_;
  QDateEdit* date_;
  QPushButton* forward_;
  QPushButton* update_;
  QPushButton* export_;
  QListWidget* list_;
  QLabel* label_;

  // The run in progress: the worker thread writes result_ and then posts
  // finish(generation_); only the GUI thread touches the rest.
  std::unique_ptr<EngineJob> job_;
  std::thread worker_;
  EngineRun result_;
  std::string exportFile_;
  uint64_t generation_ = 0;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_REMINDER_DIALOG_H_
