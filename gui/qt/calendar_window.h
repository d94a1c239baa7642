// pendra's window: a row of date controls, the month grid beside the list
// of reminders grouped by day, and a status line. pendcal runs as a child
// on a worker thread (pendcal -k -l for the list, -k -i for an export), so
// the window answers while it works. Size, place and view are remembered
// in the settings file.
//
// Layout, top to bottom: the button row (buttonRow(), where more buttons
// may be added), the body (at the left the month grid with the view choice
// under it; at the right the central stack, whose first page is the list),
// the problems area (an empty layout until something is put in it) and the
// status line.
#ifndef PENDRA_GUI_QT_CALENDAR_WINDOW_H_
#define PENDRA_GUI_QT_CALENDAR_WINDOW_H_

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "common/date.h"
#include "gui/listing.h"
#include "gui/runner.h"
#include "gui/view_range.h"

class QComboBox;
class QIcon;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace gui {

class DayList;
class MonthGrid;

// pendra's icon in the sizes built into the program (from pendra.svg).
QIcon pendraIcon();

class CalendarWindow : public QWidget {
 public:
  using Clock = std::function<pendra::Date()>;
  // Asks what to export and where: the range and a file path, or nothing
  // when the user cancels.
  struct ExportTarget {
    ExportChoice choice = ExportChoice::Shown;
    QString path;
  };
  using ExportChooser = std::function<std::optional<ExportTarget>()>;
  // Told after every listing run has been read (for the welcome page and
  // the problems pane).
  using Listed = std::function<void(const ListingResult&)>;

  // Reads the settings file, sets the date to clock() and starts a run.
  // settingsFile empty: the usual place (settingsPath()).
  explicit CalendarWindow(std::string enginePath, Clock clock = pendra::today,
                          QString settingsFile = {}, QWidget* parent = nullptr);
  // Stops the engine if it runs and waits for it.
  ~CalendarWindow() override;

  // The date moves: the grid and the list follow at once, and a run starts
  // when the days to list change.
  void setPickedDate(const pendra::Date& date);
  pendra::Date pickedDate() const { return picked_; }
  void showToday();
  void stepDays(int count);
  void stepMonths(int count);
  void setView(View view);
  View view() const { return view_; }

  // Runs pendcal again for the days shown. During an export the run waits
  // until the export has ended, and the status line says so.
  void refresh();
  // Asks what to export and starts it.
  void exportCalendar();

  // True from the start of a run until its result is shown and nothing
  // waits to run.
  bool busy() const { return worker_.joinable(); }

  void setExportChooser(ExportChooser chooser) { chooseExport_ = std::move(chooser); }
  // The days an export choice writes, and its file in the Documents folder.
  Range exportRangeFor(ExportChoice choice) const;
  QString defaultExportPath(ExportChoice choice) const;
  void onListed(Listed listed) { listed_ = std::move(listed); }
  // The reminder file given to pendcal with -f; empty lets pendcal search.
  void setReminderFile(const std::string& file) { reminderFile_ = file; }
  const std::string& reminderFile() const { return reminderFile_; }

  // The last listing run read; empty until the first has ended.
  const ListingResult& lastResult() const { return result_; }
  QString statusText() const;
  void setStatusText(const QString& text);

  // Places for more parts of the window.
  QHBoxLayout* buttonRow() const { return buttonRow_; }
  QStackedWidget* centralStack() const { return stack_; }
  QVBoxLayout* problemsArea() const { return problemsArea_; }
  DayList* dayList() const { return list_; }
  MonthGrid* monthGrid() const { return grid_; }

  // Writes size, place and view to the settings file.
  void saveSettings() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class Kind { List, Export };

  void buildControls();
  void restoreSettings();
  void showDate();
  // The run that fills the list and the grid: the view's days and the
  // grid's month together.
  Range listingRange() const;
  void startList();
  void startExport(ExportChoice choice, const QString& path);
  void start(Kind kind, EngineRequest request);
  void finish(uint64_t generation);
  void startPending();
  void finishList(const EngineRun& run);
  void finishExport(const EngineRun& run);
  void stopRun();
  void fillList();

  std::string enginePath_;
  Clock clock_;
  QString settingsFile_;
  ExportChooser chooseExport_;
  Listed listed_;
  std::string reminderFile_;
  pendra::Date picked_;
  pendra::Date today_;
  View view_ = View::Window;
  Range listedRange_;     // the days of the last listing run read
  Range requestedRange_;  // the days of the listing run going on
  bool listedOnce_ = false;
  ListingResult result_;

  QPushButton* todayButton_;
  QPushButton* back_;
  QDateEdit* date_;
  QPushButton* forward_;
  QComboBox* viewBox_;
  QPushButton* update_;
  QPushButton* export_;
  QHBoxLayout* buttonRow_;
  QLabel* monthTitle_;
  MonthGrid* grid_;
  QStackedWidget* stack_;
  DayList* list_;
  QVBoxLayout* problemsArea_;
  QLabel* status_;

  // The run in progress: the worker writes run_ and posts finish(); only
  // the GUI thread touches the rest.
  std::unique_ptr<EngineJob> job_;
  std::thread worker_;
  EngineRun run_;
  Kind kind_ = Kind::List;
  uint64_t generation_ = 0;
  // An export waiting for the list run to end, and an Update waiting for
  // the export.
  std::optional<std::pair<ExportChoice, QString>> pendingExport_;
  QString exportPath_;
  bool pendingList_ = false;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_CALENDAR_WINDOW_H_
