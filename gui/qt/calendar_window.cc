#include "gui/qt/calendar_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "gui/date_label.h"
#include "gui/list_rows.h"
#include "gui/qt/day_list.h"
#include "gui/qt/month_grid.h"
#include "gui/safe_write.h"
#include "gui/settings.h"

namespace gui {

namespace {

pendra::Date plain(const pendra::Date& date) { return {date.day, date.month, date.year}; }

QString qs(const std::string& text) { return QString::fromStdString(text); }

QPushButton* makeButton(const char* text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

// The texts of the view choices, in the order of View.
const char* const kViewTexts[] = {"7 days back, 14 ahead", "Week", "Month"};

// Page Up, Page Down and Ctrl with the arrows step months in the date
// editor too, where the editor would otherwise step a field or a word.
class DateKeys : public QObject {
 public:
  DateKeys(QObject* parent, std::function<void(int)> stepMonths)
      : QObject(parent), stepMonths_(std::move(stepMonths)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
      return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && key->key() == Qt::Key_PageUp) step = -1;
    if (mods == Qt::NoModifier && key->key() == Qt::Key_PageDown) step = 1;
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_Left) step = -1;
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_Right) step = 1;
    if (step == 0) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) stepMonths_(step);
    event->accept();
    return true;
  }

 private:
  std::function<void(int)> stepMonths_;
};

bool lookupSetting(void* context, const char* section, const char* key, std::string* value) {
  auto* settings = static_cast<QSettings*>(context);
  QString name = QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(key);
  if (!settings->contains(name)) return false;
  // QSettings reads an unquoted value with commas as a list.
  QVariant read = settings->value(name);
  *value = (read.typeId() == QMetaType::QStringList ? read.toStringList().join(QStringLiteral(", "))
                                                    : read.toString())
               .toStdString();
  return true;
}

}  // namespace

QIcon pendraIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    QString file = QStringLiteral(":/pendra/pendra-%1.png").arg(size);
    if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
  }
  return icon;
}

CalendarWindow::CalendarWindow(std::string enginePath, Clock clock, QString settingsFile,
                               QWidget* parent)
    : QWidget(parent),
      enginePath_(std::move(enginePath)),
      clock_(std::move(clock)),
      settingsFile_(settingsFile.isEmpty() ? qs(settingsPath()) : std::move(settingsFile)) {
  setWindowTitle(QStringLiteral("Pendra"));
  setObjectName(QStringLiteral("pendra"));
  setWindowIcon(pendraIcon());
  chooseExport_ = [this]() -> std::optional<ExportTarget> {
    QStringList choices;
    choices << QStringLiteral("The days shown") << QStringLiteral("The month shown")
            << QStringLiteral("The next twelve months");
    bool ok = false;
    QString picked = QInputDialog::getItem(this, QStringLiteral("Export"),
                                           QStringLiteral("&Reminders to export:"), choices,
                                           view_ == View::Month ? 1 : 0, false, &ok);
    if (!ok) return std::nullopt;
    auto choice = static_cast<ExportChoice>(choices.indexOf(picked));
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export"), defaultExportPath(choice),
                                     QStringLiteral("iCalendar (*.ics)"));
    if (path.isEmpty()) return std::nullopt;
    return ExportTarget{choice, path};
  };
  buildControls();
  today_ = plain(clock_());
  restoreSettings();
  setPickedDate(today_);
}

CalendarWindow::~CalendarWindow() {
  pendingList_ = false;
  pendingExport_.reset();
  stopRun();
}

void CalendarWindow::buildControls() {
  auto* layout = new QVBoxLayout(this);
  buttonRow_ = new QHBoxLayout;
  todayButton_ = makeButton("&Today", "today", this);
  back_ = makeButton("< &Back", "back", this);
  back_->setToolTip(QStringLiteral("The day before (Alt+Left)"));
  date_ = new QDateEdit(this);
  date_->setObjectName(QStringLiteral("date"));
  date_->setAccessibleName(QStringLiteral("Date"));
  // The list's own date style, whatever the desktop's language.
  date_->setLocale(QLocale::c());
  date_->setDisplayFormat(QStringLiteral("ddd d MMM yyyy"));
  date_->setCalendarPopup(false);
  date_->setDateRange(QDate(1800, 1, 1), QDate(9999, 12, 31));
  forward_ = makeButton("&Next >", "forward", this);
  forward_->setToolTip(QStringLiteral("The day after (Alt+Right)"));
  update_ = makeButton("&Update", "update", this);
  update_->setToolTip(QStringLiteral("Run pendcal again (F5)"));
  export_ = makeButton("&Export...", "export", this);
  export_->setToolTip(QStringLiteral("Write the reminders to an iCalendar file (Ctrl+E)"));
  buttonRow_->addWidget(todayButton_);
  buttonRow_->addWidget(back_);
  buttonRow_->addWidget(date_);
  buttonRow_->addWidget(forward_);
  buttonRow_->addStretch(1);
  buttonRow_->addWidget(update_);
  buttonRow_->addWidget(export_);
  layout->addLayout(buttonRow_);

  auto* body = new QHBoxLayout;
  auto* side = new QVBoxLayout;
  monthTitle_ = new QLabel(this);
  monthTitle_->setObjectName(QStringLiteral("month"));
  monthTitle_->setAlignment(Qt::AlignCenter);
  QFont titleFont = monthTitle_->font();
  titleFont.setBold(true);
  monthTitle_->setFont(titleFont);
  grid_ = new MonthGrid(this);
  grid_->setObjectName(QStringLiteral("grid"));
  // The view choice under the grid, which it goes with.
  auto* viewLabel = new QLabel(QStringLiteral("&View:"), this);
  viewBox_ = new QComboBox(this);
  viewBox_->setObjectName(QStringLiteral("view"));
  viewBox_->setAccessibleName(QStringLiteral("View"));
  viewBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (const char* text : kViewTexts) viewBox_->addItem(QString::fromLatin1(text));
  viewLabel->setBuddy(viewBox_);
  auto* viewRow = new QHBoxLayout;
  viewRow->addWidget(viewLabel);
  viewRow->addWidget(viewBox_, 1);
  side->addWidget(monthTitle_);
  side->addWidget(grid_);
  side->addLayout(viewRow);
  side->addStretch(1);
  body->addLayout(side);
  stack_ = new QStackedWidget(this);
  stack_->setObjectName(QStringLiteral("stack"));
  list_ = new DayList(stack_);
  list_->setObjectName(QStringLiteral("list"));
  stack_->addWidget(list_);
  body->addWidget(stack_, 1);
  layout->addLayout(body, 1);

  problemsArea_ = new QVBoxLayout;
  layout->addLayout(problemsArea_);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setAccessibleName(QStringLiteral("Status"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(status_);

  connect(todayButton_, &QPushButton::clicked, this, [this] { showToday(); });
  connect(back_, &QPushButton::clicked, this, [this] { stepDays(-1); });
  connect(forward_, &QPushButton::clicked, this, [this] { stepDays(1); });
  connect(update_, &QPushButton::clicked, this, [this] { refresh(); });
  connect(export_, &QPushButton::clicked, this, [this] { exportCalendar(); });
  connect(date_, &QDateEdit::dateChanged, this, [this](QDate date) {
    setPickedDate(pendra::Date(static_cast<uint8_t>(date.day()), static_cast<uint8_t>(date.month()),
                               static_cast<uint32_t>(date.year())));
  });
  connect(viewBox_, &QComboBox::activated, this,
          [this](int index) { setView(static_cast<View>(index)); });
  grid_->onPicked([this](const pendra::Date& date) { setPickedDate(date); });
  date_->installEventFilter(new DateKeys(this, [this](int step) { stepMonths(step); }));

  auto shortcut = [this](QKeySequence keys, std::function<void()> action) {
    auto* made = new QShortcut(keys, this);
    made->setContext(Qt::WindowShortcut);
    connect(made, &QShortcut::activated, this, std::move(action));
  };
  shortcut(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { stepDays(-1); });
  shortcut(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { stepDays(1); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { stepMonths(-1); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Right), [this] { stepMonths(1); });
  shortcut(QKeySequence(Qt::ALT | Qt::Key_Home), [this] { showToday(); });
  shortcut(QKeySequence(Qt::Key_F5), [this] { refresh(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { exportCalendar(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });

  // The date and the view keep their whole text; the window is never
  // narrower than its row of controls.
  date_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  QSize least = layout->totalMinimumSize();
  setMinimumSize(std::max(kMinWidth, least.width()), std::max(kMinHeight, least.height()));
  resize(840, 540);
}

void CalendarWindow::restoreSettings() {
  QSettings settings(settingsFile_, QSettings::IniFormat);
  Settings saved = readSettings(lookupSetting, &settings);
  view_ = saved.view;
  viewBox_->setCurrentIndex(static_cast<int>(view_));
  reminderFile_ = saved.reminderFile;
  if (saved.hasGeometry) {
    std::vector<Rect> screens;
    for (QScreen* screen : QGuiApplication::screens()) {
      QRect area = screen->availableGeometry();
      screens.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    Rect shown = keepOnScreen(saved.geometry, screens);
    setGeometry(shown.x, shown.y, shown.width, shown.height);
  }
  if (saved.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void CalendarWindow::saveSettings() const {
  Settings current;
  // The normal geometry, so that a maximised window comes back to its size.
  QRect area = isMaximized() ? normalGeometry() : geometry();
  current.hasGeometry = true;
  current.geometry = {area.x(), area.y(), area.width(), area.height()};
  current.maximized = isMaximized();
  current.view = view_;
  current.reminderFile = reminderFile_;
  QSettings settings(settingsFile_, QSettings::IniFormat);
  for (const SettingValue& value : settingValues(current)) {
    settings.setValue(
        QString::fromLatin1(value.section) + QLatin1Char('/') + QString::fromLatin1(value.key),
        qs(value.value));
  }
  settings.sync();
}

void CalendarWindow::closeEvent(QCloseEvent* event) {
  pendingList_ = false;
  pendingExport_.reset();
  stopRun();
  saveSettings();
  QWidget::closeEvent(event);
}

void CalendarWindow::setPickedDate(const pendra::Date& date) {
  pendra::Date wanted = plain(date);
  if (!wanted.isValid() || wanted.year < 1800 || wanted.year > 9999) return;
  picked_ = wanted;
  showDate();
  Range needed = listingRange();
  bool covered =
      listedOnce_ && listedRange_.contains(needed.first()) && listedRange_.contains(needed.last());
  if (covered && !busy()) {
    fillList();
  } else {
    startList();
  }
}

void CalendarWindow::showDate() {
  {
    QSignalBlocker quiet(date_);
    date_->setDate(QDate(static_cast<int>(picked_.year), picked_.month, picked_.day));
  }
  grid_->setDates(picked_, today_);
  monthTitle_->setText(QStringLiteral("%1 %2")
                           .arg(QString::fromLatin1(kLongMonthNames[picked_.month]))
                           .arg(picked_.year));
}

void CalendarWindow::showToday() {
  today_ = plain(clock_());
  setPickedDate(today_);
}

void CalendarWindow::stepDays(int count) {
  setPickedDate(pendra::Date::fromNumber(picked_.dayNumber() + count));
}

void CalendarWindow::stepMonths(int count) { setPickedDate(gui::stepMonths(picked_, count)); }

void CalendarWindow::setView(View view) {
  view_ = view;
  viewBox_->setCurrentIndex(static_cast<int>(view));
  setPickedDate(picked_);
}

Range CalendarWindow::listingRange() const { return gui::listingRange(view_, picked_); }

void CalendarWindow::refresh() {
  if (busy() && kind_ == Kind::Export) {
    pendingList_ = true;
    setStatusText(QStringLiteral("Exporting; the list is updated when the export has ended"));
    return;
  }
  startList();
}

void CalendarWindow::startList() {
  if (busy() && kind_ == Kind::Export) {
    pendingList_ = true;
    return;
  }
  requestedRange_ = listingRange();
  EngineRequest request{enginePath_,
                        listingArguments(requestedRange_.date, requestedRange_.before,
                                         requestedRange_.after, reminderFile_),
                        timeLimit()};
  request.errorsApart = true;
  start(Kind::List, std::move(request));
}

Range CalendarWindow::exportRangeFor(ExportChoice choice) const {
  return exportRange(choice, view_, picked_, plain(clock_()));
}

QString CalendarWindow::defaultExportPath(ExportChoice choice) const {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return QDir(folder).filePath(qs(exportFileName(choice, exportRangeFor(choice))));
}

void CalendarWindow::exportCalendar() {
  std::optional<ExportTarget> target = chooseExport_();
  if (!target || target->path.isEmpty()) return;
  QString path = target->path;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".ics");
  if (busy()) {
    // The list run going on ends first; the export follows it.
    pendingExport_ = std::make_pair(target->choice, path);
    setStatusText(QStringLiteral("The export starts when the list has been read"));
    return;
  }
  startExport(target->choice, path);
}

void CalendarWindow::startExport(ExportChoice choice, const QString& path) {
  exportPath_ = path;
  Range range = exportRangeFor(choice);
  EngineRequest request{enginePath_,
                        calendarArguments(range.date, range.before, range.after, reminderFile_),
                        timeLimit()};
  request.cap = kExportCap;
  request.errorsApart = true;  // messages must not end up in the calendar
  setStatusText(QStringLiteral("Exporting to %1").arg(QDir::toNativeSeparators(path)));
  start(Kind::Export, std::move(request));
}

void CalendarWindow::start(Kind kind, EngineRequest request) {
  stopRun();
  kind_ = kind;
  job_ = std::make_unique<EngineJob>(std::move(request));
  uint64_t generation = ++generation_;
  worker_ = std::thread([this, job = job_.get(), generation] {
    EngineRun run = job->run();
    run_ = std::move(run);
    QMetaObject::invokeMethod(
        this, [this, generation] { finish(generation); }, Qt::QueuedConnection);
  });
  setCursor(Qt::BusyCursor);
}

void CalendarWindow::finish(uint64_t generation) {
  // A run that was stopped and replaced may still have posted its end.
  if (generation != generation_ || !worker_.joinable()) return;
  worker_.join();
  job_.reset();
  unsetCursor();
  EngineRun run = std::move(run_);
  if (kind_ == Kind::Export) {
    finishExport(run);
  } else if (!run.stopped) {
    finishList(run);
  }
  startPending();
}

void CalendarWindow::startPending() {
  if (pendingExport_) {
    auto [choice, path] = *pendingExport_;
    pendingExport_.reset();
    startExport(choice, path);
  } else if (pendingList_) {
    pendingList_ = false;
    startList();
  }
}

void CalendarWindow::finishList(const EngineRun& run) {
  result_ = readListingRun(run, enginePath_);
  listedRange_ = requestedRange_;
  listedOnce_ = true;
  fillList();
  if (listed_) listed_(result_);
}

void CalendarWindow::fillList() {
  Range shown = viewRange(view_, picked_);
  std::vector<ListedDay> days;
  int reminders = 0;
  for (const Day& day : groupByDay(result_.listing)) {
    if (!shown.contains(day.date)) continue;
    ListedDay listed{plain(day.date), qs(dayHeading(day.date, today_)), {}};
    for (const Occurrence* occurrence : day.items) {
      listed.items.push_back(
          {qs(itemText(occurrence->scanned, occurrence->matched, occurrence->text, today_)),
           occurrence->lookAhead(), qs(occurrence->file), occurrence->line,
           plain(occurrence->matched)});
      if (!occurrence->lookAhead()) ++reminders;
    }
    days.push_back(std::move(listed));
  }
  QString from = qs(windowDate(shown.first()));
  QString to = qs(windowDate(shown.last()));
  list_->fill(days, QStringLiteral("No reminders from %1 to %2").arg(from, to));
  grid_->setCounts(reminderCounts(result_.listing));
  list_->scrollToDay(picked_);

  QString text = reminders == 1
                     ? QStringLiteral("1 reminder from %1 to %2").arg(from, to)
                     : QStringLiteral("%1 reminders from %2 to %3").arg(reminders).arg(from, to);
  if (result_.noReminderFile) text = QStringLiteral("No reminder file found");
  size_t problems = result_.problems.size();
  if (problems == 1) {
    const Problem& problem = result_.problems.front();
    QString place = problem.file.empty() ? QString()
                    : problem.line > 0
                        ? QStringLiteral("%1(%2): ").arg(qs(problem.file)).arg(problem.line)
                        : qs(problem.file) + QStringLiteral(": ");
    text += QStringLiteral("; ") + place + qs(problem.text);
  } else if (problems > 1) {
    text += QStringLiteral("; ") + qs(problemCountText(problems));
  }
  setStatusText(text);
}

void CalendarWindow::finishExport(const EngineRun& run) {
  QString shown = QStringLiteral("…/") + QFileInfo(exportPath_).fileName();
  if (run.stopped) {
    setStatusText(QStringLiteral("Export stopped; nothing written to %1").arg(shown));
    return;
  }
  if (!exportSucceeded(run)) {
    QString reason;
    if (!run.ok) {
      reason = QStringLiteral("%1 %2").arg(QString::fromLatin1(kEngineError), qs(enginePath_));
    } else if (std::vector<Problem> problems = parseProblems(run.errors); !problems.empty()) {
      const Problem& first = problems.front();
      reason =
          first.line > 0
              ? QStringLiteral("%1(%2): %3").arg(qs(first.file)).arg(first.line).arg(qs(first.text))
              : qs(first.text);
    } else {
      reason = qs(endingLine(run));
    }
    if (reason.isEmpty()) reason = QStringLiteral("pendcal failed");
    setStatusText(QStringLiteral("Export failed: %1; nothing written to %2").arg(reason, shown));
    return;
  }
  WriteResult written = createFile(exportPath_.toStdString(), run.output, Existing::Replace);
  if (!written.ok) {
    setStatusText(
        QStringLiteral("Export failed: %1; %2 left as it was").arg(qs(written.reason), shown));
    return;
  }
  QString text = qs(exportedText(countEvents(run.output), shown.toStdString()));
  // A calendar may be whole although pendcal reported problems on the way.
  if (size_t problems = parseProblems(run.errors).size(); problems > 0) {
    text += QStringLiteral("; ") + qs(problemCountText(problems));
  }
  setStatusText(text);
  status_->setToolTip(QDir::toNativeSeparators(exportPath_));
}

void CalendarWindow::stopRun() {
  if (!worker_.joinable()) return;
  job_->stop();
  worker_.join();
  job_.reset();
  unsetCursor();
}

QString CalendarWindow::statusText() const { return status_->text(); }

void CalendarWindow::setStatusText(const QString& text) {
  status_->setText(text);
  status_->setToolTip(QString());
}

}  // namespace gui
