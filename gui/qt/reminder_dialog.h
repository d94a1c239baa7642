// The reminder window with Qt Widgets: a row of date buttons around a date
// editor, a label naming the date of the last Update, and a list of the
// engine's report lines for the window around it.
#ifndef PENDRA_GUI_QT_REMINDER_DIALOG_H_
#define PENDRA_GUI_QT_REMINDER_DIALOG_H_

#include <QDialog>
#include <functional>
#include <string>

#include "common/date.h"

class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;

namespace gui {

class ReminderDialog : public QDialog {
 public:
  using Clock = std::function<pendra::Date()>;

  // Sets the date to clock() and runs Update once, before the dialog is
  // shown. enginePath is the pendcal to run; clock gives "today".
  explicit ReminderDialog(std::string enginePath, Clock clock = pendra::today,
                          QWidget* parent = nullptr);

  // What the buttons do. The first three move the date and leave the list
  // alone; refresh shows the label and the engine's report for the date.
  void showToday();
  void stepBack();
  void stepForward();
  void refresh();

  // The date in the editor; the weekday is 0.
  pendra::Date pickedDate() const;
  void setPickedDate(const pendra::Date& date);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Escape does not close the window; only closing it does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Places the controls in dialog units of the dialog's font, as a Windows
  // dialog template does; the list and the label take any extra room.
  void placeControls();

  std::string enginePath_;
  Clock clock_;
  double unitX_ = 1.5;  // pixels per horizontal dialog unit
  double unitY_ = 1.5;  // pixels per vertical dialog unit
  QPushButton* today_;
  QPushButton* back_;
  QDateEdit* date_;
  QPushButton* forward_;
  QPushButton* update_;
  QListWidget* list_;
  QLabel* label_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_REMINDER_DIALOG_H_
