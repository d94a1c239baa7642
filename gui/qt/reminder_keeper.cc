#include "gui/qt/reminder_keeper.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <utility>

#include "gui/first_run.h"
#include "gui/qt/add_dialog.h"
#include "gui/qt/calendar_window.h"
#include "gui/qt/day_list.h"
#include "gui/qt/editor_launcher.h"
#include "gui/qt/file_watcher.h"
#include "gui/qt/midnight_timer.h"
#include "gui/qt/problems_view.h"
#include "gui/qt/welcome_widget.h"
#include "gui/settings.h"

namespace gui {

namespace {

// Enter on a reminder opens it, as a double-click does, on every style.
class EnterOpens : public QObject {
 public:
  EnterOpens(QListWidget* list, std::function<void(QListWidgetItem*)> open)
      : QObject(list), list_(list), open_(std::move(open)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->currentItem() != nullptr) {
        open_(list_->currentItem());
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QListWidget* list_;
  std::function<void(QListWidgetItem*)> open_;
};

QPushButton* addButton(QHBoxLayout* row, QWidget* parent, const char* text, const char* name,
                       const char* tip) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(QString::fromUtf8(tip));
  button->setAutoDefault(false);
  row->addWidget(button);
  return button;
}

}  // namespace

ReminderKeeper::ReminderKeeper(CalendarWindow* window, std::string enginePath, Clock clock,
                               QString settingsFile)
    : QObject(window),
      window_(window),
      enginePath_(std::move(enginePath)),
      settingsFile_(settingsFile.isEmpty() ? QString::fromStdString(settingsPath())
                                           : std::move(settingsFile)) {
  // The file's own buttons stand under the list, above its problems: the
  // date row has no room left.
  auto* row = new QHBoxLayout;
  edit_ = addButton(row, window, "E&dit", "edit", "Open the reminder file in your editor");
  add_ = addButton(row, window, "&Add\u2026", "add", "Write a new reminder into the file");
  open_ = addButton(row, window, "&Open\u2026", "openFile", "List another reminder file");
  row->addStretch(1);
  window->problemsArea()->addLayout(row);
  connect(edit_, &QPushButton::clicked, this, [this] { edit(); });
  connect(add_, &QPushButton::clicked, this, [this] { add(); });
  connect(open_, &QPushButton::clicked, this, [this] { open(); });

  welcome_ = new WelcomeWidget(
      // The starter goes where pendcal looks, so the search finds it.
      [this](const std::string&) { window_->refresh(); },
      [this](const std::string& file) { useFile(file, true); }, window);
  window->centralStack()->addWidget(welcome_);

  problems_ = new ProblemsView(window);
  problems_->setOpen([this](const std::string& file, int line) { openAt(file, line); });
  window->problemsArea()->addWidget(problems_);

  DayList* list = window->dayList();
  // Tab goes from the list to the file's buttons and on to the problems.
  QWidget::setTabOrder(list, edit_);
  QWidget::setTabOrder(edit_, add_);
  QWidget::setTabOrder(add_, open_);
  QWidget::setTabOrder(open_, problems_);
  connect(list, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { activated(item); });
  list->installEventFilter(
      new EnterOpens(list, [this](QListWidgetItem* item) { activated(item); }));

  watcher_ = new FileWatcher([this] { window_->refresh(); }, this);
  midnight_ = new MidnightTimer(
      std::move(clock),
      [this](const pendra::Date& previous, const pendra::Date&) { newDay(previous); }, this);
  showAdd_ = [](AddDialog& dialog) { dialog.exec(); };
  chooseFile_ = [this] {
    return QFileDialog::getOpenFileName(window_, QStringLiteral("Open a reminder file"),
                                        QDir::homePath(),
                                        QStringLiteral("Reminder files (*.pnd);;All files (*)"));
  };
  welcome_->setFileChooser([this] { return chooseFile_(); });

  window->onListed([this](const ListingResult& result) { listed(result); });
  // A run may have ended before the keeper was there.
  if (!window->busy()) listed(window->lastResult());
}

ReminderKeeper::~ReminderKeeper() = default;

void ReminderKeeper::setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

std::string ReminderKeeper::reminderFile() const {
  const ListingResult& result = window_->lastResult();
  if (!result.listing.files.empty()) return result.listing.files.front();
  return window_->reminderFile();
}

void ReminderKeeper::useFile(const std::string& file, bool remember) {
  window_->setReminderFile(file);
  if (remember) {
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(
        QStringLiteral("%1/%2").arg(QLatin1String(kSectionFile), QLatin1String(kKeyReminders)),
        QString::fromStdString(file));
    settings.sync();
  }
  window_->refresh();
}

void ReminderKeeper::edit() {
  std::string file = reminderFile();
  if (!file.empty()) openAt(file, 0);
}

void ReminderKeeper::add() {
  std::string file = reminderFile();
  if (file.empty()) return;
  AddDialog dialog(enginePath_, file, window_->lastResult().listing.files, window_->pickedDate(),
                   window_);
  showAdd_(dialog);
  if (dialog.result() == QDialog::Accepted) window_->refresh();
}

void ReminderKeeper::open() {
  QString file = chooseFile_();
  if (file.isEmpty()) return;
  useFile(QDir::cleanPath(QFileInfo(file).absoluteFilePath()).toStdString(), true);
}

void ReminderKeeper::openAt(const std::string& file, int line) {
  QString failure = openInEditor(file, line);
  if (!failure.isEmpty()) window_->setStatusText(failure);
}

void ReminderKeeper::listed(const ListingResult& result) {
  bool welcome = result.noReminderFile;
  window_->centralStack()->setCurrentWidget(welcome ? static_cast<QWidget*>(welcome_)
                                                    : window_->dayList());
  if (welcome) welcome_->refresh();
  edit_->setEnabled(!welcome && !reminderFile().empty());
  add_->setEnabled(!welcome && !reminderFile().empty());
  problems_->setProblems(result.problems);
  // With no file yet, the places are watched, so a file made elsewhere shows.
  std::vector<std::string> files = welcome ? reminderSearchPlaces() : result.listing.files;
  if (files.empty() && !window_->reminderFile().empty()) files.push_back(window_->reminderFile());
  watcher_->watch(files);
}

void ReminderKeeper::activated(QListWidgetItem* item) {
  int kind = item->data(DayList::kKindRole).toInt();
  if (kind != DayList::Reminder && kind != DayList::LookAhead) return;
  QString file = item->data(DayList::kFileRole).toString();
  if (!file.isEmpty()) openAt(file.toStdString(), item->data(DayList::kLineRole).toInt());
}

void ReminderKeeper::newDay(const pendra::Date& previous) {
  pendra::Date picked = window_->pickedDate();
  // showToday() also moves the window's "today"; a window showing another
  // day goes back to it.
  window_->showToday();
  if (!picked.sameDay(previous)) window_->setPickedDate(picked);
  window_->refresh();
}

}  // namespace gui
