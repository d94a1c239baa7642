#include "gui/qt/month_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <utility>

#include "gui/date_label.h"
#include "gui/view_range.h"

namespace gui {

namespace {

constexpr int kCountRole = Qt::UserRole;
const char* const kColumnNames[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

// Monday 0 .. Sunday 6.
int columnOf(const pendra::Date& date) {
  return (pendra::weekdayOf(date.day, date.month, date.year) + 5) % 7;
}

// Draws the day as usual, then a dot under the number of a day that holds
// reminders, so the mark does not rest on bold type alone.
class DayDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.data(kCountRole).toInt() == 0) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    bool selected = option.state & QStyle::State_Selected;
    painter->setBrush(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Link));
    qreal radius = qMax<qreal>(1.5, option.rect.height() / 14.0);
    QPointF centre(option.rect.center().x() + 0.5, option.rect.bottom() - 2.5 * radius);
    painter->drawEllipse(centre, radius, radius);
    painter->restore();
  }
};

}  // namespace

pendra::Date stepMonths(pendra::Date date, int count) {
  for (; count > 0; --count) date.nextMonth();
  for (; count < 0; ++count) date.previousMonth();
  date.day = std::min(date.day, pendra::daysInMonth(date.month, date.year));
  date.weekday = 0;
  return date;
}

void MonthModel::setDates(const pendra::Date& picked, const pendra::Date& today) {
  picked_ = pendra::Date(picked.day, picked.month, picked.year);
  today_ = pendra::Date(today.day, today.month, today.year);
  pendra::Date first(1, picked.month, picked.year);
  firstShown_ = first.dayNumber() - columnOf(first);
  emit dataChanged(index(0, 0), index(5, 6));
}

void MonthModel::setCounts(std::map<int64_t, int> counts) {
  counts_ = std::move(counts);
  emit dataChanged(index(0, 0), index(5, 6));
}

pendra::Date MonthModel::dateAt(const QModelIndex& index) const {
  pendra::Date date = pendra::Date::fromNumber(firstShown_ + index.row() * 7 + index.column());
  date.weekday = 0;
  return date;
}

QModelIndex MonthModel::indexOf(const pendra::Date& date) const {
  int64_t offset = date.dayNumber() - firstShown_;
  if (offset < 0 || offset >= 42) return {};
  return index(static_cast<int>(offset / 7), static_cast<int>(offset % 7));
}

int MonthModel::countOn(const pendra::Date& date) const {
  auto found = counts_.find(date.dayNumber());
  return found == counts_.end() ? 0 : found->second;
}

QVariant MonthModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  pendra::Date date = dateAt(index);
  bool inMonth = date.month == picked_.month;
  switch (role) {
    case Qt::DisplayRole:
      return date.day;
    case Qt::TextAlignmentRole:
      return Qt::AlignCenter;
    case kCountRole:
      return countOn(date);
    case Qt::FontRole:
      if (countOn(date) > 0) {
        QFont font = QApplication::font();
        font.setBold(true);
        return font;
      }
      return {};
    case Qt::ForegroundRole:
      if (!inMonth) return QApplication::palette().color(QPalette::PlaceholderText);
      return {};
    case Qt::BackgroundRole:
      if (date.sameDay(today_)) return QColor(255, 221, 153);
      return {};
    case Qt::AccessibleTextRole:
      return QString::fromStdString(accessibleDayName(date, countOn(date)));
    case Qt::AccessibleDescriptionRole:
      return date.sameDay(today_) ? QStringLiteral("today") : QString();
    case Qt::ToolTipRole:
      return countOn(date) > 0 ? QString::fromStdString(accessibleDayName(date, countOn(date)))
                               : QVariant();
    default:
      return {};
  }
}

QVariant MonthModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section > 6) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kColumnNames[section]);
  if (role == Qt::AccessibleTextRole) {
    return QString::fromLatin1(kLongWeekdayNames[section == 6 ? 1 : section + 2]);
  }
  return {};
}

MonthGrid::MonthGrid(QWidget* parent) : QTableView(parent), model_(this) {
  setModel(&model_);
  setItemDelegate(new DayDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setTabKeyNavigation(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  horizontalHeader()->setHighlightSections(false);
  setAccessibleName(QStringLiteral("Month"));
}

void MonthGrid::setDates(const pendra::Date& picked, const pendra::Date& today) {
  model_.setDates(picked, today);
  QModelIndex index = model_.indexOf(model_.picked());
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QSize MonthGrid::sizeHint() const {
  QFontMetrics metrics(font());
  int cell = metrics.horizontalAdvance(QStringLiteral("Wed")) + metrics.height();
  int header = horizontalHeader()->sizeHint().height();
  int frame = 2 * frameWidth();
  return {7 * cell + frame, header + 6 * (metrics.height() * 2) + frame};
}

void MonthGrid::keyPressEvent(QKeyEvent* event) {
  pendra::Date date = model_.picked();
  int64_t number = date.dayNumber();
  // Alt and Ctrl with the arrows belong to the window.
  if (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) {
    QTableView::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left:
      pick(pendra::Date::fromNumber(number - 1));
      break;
    case Qt::Key_Right:
      pick(pendra::Date::fromNumber(number + 1));
      break;
    case Qt::Key_Up:
      pick(pendra::Date::fromNumber(number - 7));
      break;
    case Qt::Key_Down:
      pick(pendra::Date::fromNumber(number + 7));
      break;
    case Qt::Key_PageUp:
      pick(stepMonths(date, -1));
      break;
    case Qt::Key_PageDown:
      pick(stepMonths(date, 1));
      break;
    default:
      QTableView::keyPressEvent(event);
      return;
  }
  event->accept();
}

void MonthGrid::mousePressEvent(QMouseEvent* event) {
  QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton || !index.isValid()) {
    QTableView::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  pick(model_.dateAt(index));
  event->accept();
}

void MonthGrid::pick(const pendra::Date& date) {
  pendra::Date plain(date.day, date.month, date.year);
  if (!plain.isValid() || plain.year < 1800) return;
  if (picked_) picked_(plain);
}

}  // namespace gui
