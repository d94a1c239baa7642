#include "gui/qt/day_list.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace gui {

namespace {

// Measures every row at the list's own width, so long texts wrap instead of
// running past the edge, and text of several lines gets all its height.
class WrappingDelegate : public QStyledItemDelegate {
 public:
  explicit WrappingDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem wrapped = option;
    int width = qMax(list_->viewport()->width() - 2 * list_->spacing(), 40);
    wrapped.rect = QRect(0, 0, width - indent(index), 1 << 16);
    wrapped.features |= QStyleOptionViewItem::WrapText;
    QSize size = QStyledItemDelegate::sizeHint(wrapped, index);
    return {width, size.height()};
  }

  // A day's reminders stand a little in from its heading.
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem indented = option;
    indented.rect.setLeft(option.rect.left() + indent(index));
    QStyledItemDelegate::paint(painter, indented, index);
  }

  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->features |= QStyleOptionViewItem::WrapText;
    option->textElideMode = Qt::ElideNone;
  }

 private:
  int indent(const QModelIndex& index) const {
    int kind = index.data(DayList::kKindRole).toInt();
    return kind == DayList::Heading || kind == DayList::Note ? 0 : list_->fontMetrics().height();
  }

  QListWidget* list_;
};

}  // namespace

DayList::DayList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new WrappingDelegate(this));
  setWordWrap(true);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAccessibleName(QStringLiteral("Reminders"));
}

void DayList::fill(const std::vector<ListedDay>& days, const QString& empty) {
  QFont headingFont = font();
  headingFont.setBold(true);
  QFont lookAheadFont = font();
  lookAheadFont.setItalic(true);
  QColor lookAheadColour = palette().color(QPalette::PlaceholderText);
  QBrush headingBackground = palette().brush(QPalette::AlternateBase);

  setUpdatesEnabled(false);
  clear();
  for (const ListedDay& day : days) {
    auto* heading = new QListWidgetItem(day.heading);
    heading->setFlags(Qt::ItemIsEnabled);
    heading->setFont(headingFont);
    heading->setBackground(headingBackground);
    heading->setData(kKindRole, Heading);
    heading->setData(kMatchedRole, QVariant::fromValue<qlonglong>(day.date.dayNumber()));
    addItem(heading);
    for (const ListedItem& listed : day.items) {
      auto* item = new QListWidgetItem(listed.text);
      item->setData(kKindRole, listed.lookAhead ? LookAhead : Reminder);
      item->setData(kFileRole, listed.file);
      item->setData(kLineRole, listed.line);
      item->setData(kMatchedRole, QVariant::fromValue<qlonglong>(listed.matched.dayNumber()));
      if (listed.lookAhead) {
        item->setFont(lookAheadFont);
        item->setForeground(lookAheadColour);
      }
      addItem(item);
    }
  }
  if (days.empty() && !empty.isEmpty()) {
    auto* note = new QListWidgetItem(empty);
    note->setFlags(Qt::ItemIsEnabled);
    note->setData(kKindRole, Note);
    addItem(note);
  }
  setUpdatesEnabled(true);
}

int DayList::headingRowFor(const pendra::Date& date) const {
  int64_t wanted = date.dayNumber();
  for (int row = 0; row < count(); ++row) {
    const QListWidgetItem* row_item = item(row);
    if (row_item->data(kKindRole).toInt() == Heading &&
        row_item->data(kMatchedRole).toLongLong() >= wanted) {
      return row;
    }
  }
  return -1;
}

void DayList::scrollToDay(const pendra::Date& date) {
  int row = headingRowFor(date);
  if (row < 0) {
    scrollToBottom();
    return;
  }
  scrollTo(model()->index(row, 0), QAbstractItemView::PositionAtTop);
}

}  // namespace gui
