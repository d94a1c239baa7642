#include "gui/qt/reminder_dialog.h"

#include <QCloseEvent>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QStringList>
#include <cmath>
#include <utility>
#include <vector>

#include "gui/date_label.h"
#include "gui/runner.h"

namespace gui {

namespace {

// The window's template in dialog units: {x, y, width, height}.
struct Box {
  int x, y, width, height;
};
constexpr int kWindowWidth = 233, kWindowHeight = 276;
constexpr Box kTodayBox = {6, 6, 48, 12};
constexpr Box kBackBox = {60, 6, 18, 12};
constexpr Box kDateBox = {84, 6, 66, 12};
constexpr Box kForwardBox = {156, 6, 18, 12};
constexpr Box kUpdateBox = {180, 6, 42, 12};
constexpr Box kExportBox = {180, 21, 42, 12};
constexpr Box kListBox = {6, 36, 222, 234};
constexpr Box kLabelBox = {6, 24, 168, 8};

QPushButton* makeButton(const char* text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);  // Enter means Update, whichever has focus
  return button;
}

}  // namespace

ReminderDialog::ReminderDialog(std::string enginePath, Clock clock, QWidget* parent)
    : QDialog(parent), enginePath_(std::move(enginePath)), clock_(std::move(clock)) {
  setWindowTitle(QStringLiteral("Pendra"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  // The desktop's own font: the template's font is rarely installed on
  // Linux, and its stand-ins can be hard to read.

  // Created in the template's order, which is also the tab order.
  today_ = makeButton("Today", "today", this);
  back_ = makeButton("<", "back", this);
  date_ = new QDateEdit(this);
  date_->setObjectName(QStringLiteral("date"));
  date_->setCalendarPopup(false);
  date_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  date_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  date_->setDisplayFormat(QStringLiteral("d MMM yyyy"));
  forward_ = makeButton(">", "forward", this);
  update_ = makeButton("Update", "update", this);
  update_->setAutoDefault(true);
  update_->setDefault(true);
  export_ = makeButton("Export", "export", this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("list"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  // Lines of one height lay out without measuring each: a long report
  // shows at once.
  list_->setUniformItemSizes(true);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("label"));
  label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  connect(today_, &QPushButton::clicked, this, [this] { showToday(); });
  connect(back_, &QPushButton::clicked, this, [this] { stepBack(); });
  connect(forward_, &QPushButton::clicked, this, [this] { stepForward(); });
  connect(update_, &QPushButton::clicked, this, [this] { refresh(); });
  connect(export_, &QPushButton::clicked, this, [this] { exportCalendar(); });
  chooseFile_ = [this] {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Export"),
                                        QDir::home().filePath(QStringLiteral("pendra.ics")),
                                        QStringLiteral("iCalendar (*.ics)"));
  };

  // A dialog unit is a quarter of the average character width and an
  // eighth of the character height of the dialog's font.
  QFontMetricsF metrics(font());
  QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  unitX_ = metrics.horizontalAdvance(alphabet) / 52.0 / 4.0;
  unitY_ = metrics.height() / 8.0;
  resize(static_cast<int>(std::lround(kWindowWidth * unitX_)),
         static_cast<int>(std::lround(kWindowHeight * unitY_)));
  setMinimumSize(static_cast<int>(std::lround((kUpdateBox.x + kUpdateBox.width + 6) * unitX_)),
                 static_cast<int>(std::lround((kListBox.y + 24) * unitY_)));
  placeControls();

  showToday();
  refresh();
}

ReminderDialog::~ReminderDialog() { stopRun(); }

void ReminderDialog::showToday() { setPickedDate(clock_()); }

void ReminderDialog::stepBack() {
  pendra::Date date = pickedDate();
  date.previousDay();
  setPickedDate(date);
}

void ReminderDialog::stepForward() {
  pendra::Date date = pickedDate();
  date.nextDay();
  setPickedDate(date);
}

void ReminderDialog::refresh() {
  pendra::Date date = pickedDate();
  label_->setText(QString::fromStdString(dateLabel(date)));
  start({enginePath_, engineArguments(date, kDaysBefore, kDaysAfter), timeLimit()}, {});
}

void ReminderDialog::exportCalendar() {
  QString file = chooseFile_();
  if (file.isEmpty()) return;
  if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".ics");
  EngineRequest request{enginePath_, exportArguments(pickedDate(), kDaysBefore, kDaysAfter),
                        timeLimit()};
  request.cap = kExportCap;
  request.errorsApart = true;  // messages must not end up in the calendar
  start(std::move(request), file.toStdString());
}

void ReminderDialog::start(EngineRequest request, std::string exportFile) {
  stopRun();
  job_ = std::make_unique<EngineJob>(std::move(request));
  exportFile_ = std::move(exportFile);
  uint64_t generation = ++generation_;
  worker_ = std::thread([this, job = job_.get(), generation] {
    EngineRun run = job->run();
    result_ = std::move(run);
    QMetaObject::invokeMethod(
        this, [this, generation] { finish(generation); }, Qt::QueuedConnection);
  });
  setBusy(true);
}

void ReminderDialog::finish(uint64_t generation) {
  // A run that was stopped and replaced may still have posted its end.
  if (generation != generation_ || !worker_.joinable()) return;
  worker_.join();
  job_.reset();
  setBusy(false);
  if (result_.stopped) return;
  if (exportFile_.empty()) {
    showLines(listLines(result_, enginePath_));
  } else if (std::vector<std::string> lines = finishExport(result_, enginePath_, exportFile_);
             !lines.empty()) {
    showLines(lines);
  }
}

void ReminderDialog::stopRun() {
  if (!worker_.joinable()) return;
  job_->stop();
  worker_.join();
  job_.reset();
  setBusy(false);
}

void ReminderDialog::setBusy(bool busy) {
  // The old report stays, greyed, until the new one replaces it; the
  // buttons stay live so that Update can restart and the window can close.
  list_->setEnabled(!busy);
  if (busy) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
}

void ReminderDialog::showLines(const std::vector<std::string>& lines) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) items.append(QString::fromUtf8(line));
  // One batch with painting off: the list lays out and paints once.
  list_->setUpdatesEnabled(false);
  list_->clear();
  list_->addItems(items);
  list_->setUpdatesEnabled(true);
}

pendra::Date ReminderDialog::pickedDate() const {
  QDate date = date_->date();
  return pendra::Date(static_cast<uint8_t>(date.day()), static_cast<uint8_t>(date.month()),
                      static_cast<uint32_t>(date.year()));
}

void ReminderDialog::setPickedDate(const pendra::Date& date) {
  date_->setDate(QDate(static_cast<int>(date.year), date.month, date.day));
}

void ReminderDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placeControls();
}

void ReminderDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ReminderDialog::closeEvent(QCloseEvent* event) {
  stopRun();
  QDialog::closeEvent(event);
}

void ReminderDialog::placeControls() {
  auto place = [this](QWidget* widget, const Box& box, int growX, int growY) {
    widget->setGeometry(static_cast<int>(std::lround(box.x * unitX_)),
                        static_cast<int>(std::lround(box.y * unitY_)),
                        static_cast<int>(std::lround(box.width * unitX_)) + growX,
                        static_cast<int>(std::lround(box.height * unitY_)) + growY);
  };
  // What the window has beyond its template size goes to the list.
  int extraX = width() - static_cast<int>(std::lround(kWindowWidth * unitX_));
  int extraY = height() - static_cast<int>(std::lround(kWindowHeight * unitY_));
  place(today_, kTodayBox, 0, 0);
  place(back_, kBackBox, 0, 0);
  place(date_, kDateBox, 0, 0);
  place(forward_, kForwardBox, 0, 0);
  place(update_, kUpdateBox, 0, 0);
  place(export_, kExportBox, 0, 0);
  place(list_, kListBox, extraX, extraY);
  place(label_, kLabelBox, 0, 0);
}

}  // namespace gui
