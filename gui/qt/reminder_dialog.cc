#include "gui/qt/reminder_dialog.h"

#include <QDate>
#include <QDateEdit>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
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
constexpr Box kListBox = {6, 36, 222, 234};
constexpr Box kLabelBox = {6, 24, 216, 8};

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
  setFont(QFont(QStringLiteral("Comic Sans MS"), 8));

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
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("list"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("label"));
  label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  connect(today_, &QPushButton::clicked, this, [this] { showToday(); });
  connect(back_, &QPushButton::clicked, this, [this] { stepBack(); });
  connect(forward_, &QPushButton::clicked, this, [this] { stepForward(); });
  connect(update_, &QPushButton::clicked, this, [this] { refresh(); });

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
  std::vector<std::string> lines = updateLines(enginePath_, date);
  QStringList items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) items.append(QString::fromLocal8Bit(line));
  list_->clear();
  list_->addItems(items);
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

void ReminderDialog::placeControls() {
  auto place = [this](QWidget* widget, const Box& box, int growX, int growY) {
    widget->setGeometry(static_cast<int>(std::lround(box.x * unitX_)),
                        static_cast<int>(std::lround(box.y * unitY_)),
                        static_cast<int>(std::lround(box.width * unitX_)) + growX,
                        static_cast<int>(std::lround(box.height * unitY_)) + growY);
  };
  // What the window has beyond its template size goes to the list and label.
  int extraX = width() - static_cast<int>(std::lround(kWindowWidth * unitX_));
  int extraY = height() - static_cast<int>(std::lround(kWindowHeight * unitY_));
  place(today_, kTodayBox, 0, 0);
  place(back_, kBackBox, 0, 0);
  place(date_, kDateBox, 0, 0);
  place(forward_, kForwardBox, 0, 0);
  place(update_, kUpdateBox, 0, 0);
  place(list_, kListBox, extraX, extraY);
  place(label_, kLabelBox, extraX, 0);
}

}  // namespace gui
