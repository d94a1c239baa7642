// The list beside the month grid: one heading row per day ("Today",
// "Tomorrow", "Wed 9 Dec") and under it one item per reminder. Texts wrap
// to the list's width and keep all their lines; look-ahead announcements
// are set apart in italics. Nothing is cut and nothing scrolls sideways.
#ifndef PENDRA_GUI_QT_DAY_LIST_H_
#define PENDRA_GUI_QT_DAY_LIST_H_

#include <QListWidget>
#include <QString>
#include <vector>

#include "common/date.h"

namespace gui {

// What the list shows of one reminder.
struct ListedItem {
  QString text;            // as shown: the look-ahead's day comes first
  bool lookAhead = false;  // announces a later day
  QString file;            // where the entry is, for opening it
  int line = 0;
  pendra::Date matched;  // the day the reminder is for
};

struct ListedDay {
  pendra::Date date;
  QString heading;
  std::vector<ListedItem> items;
};

class DayList : public QListWidget {
 public:
  // Item data beyond the text: the entry's file and line, the matched day
  // as its day number, and the kind of row.
  static constexpr int kFileRole = Qt::UserRole;
  static constexpr int kLineRole = Qt::UserRole + 1;
  static constexpr int kMatchedRole = Qt::UserRole + 2;
  static constexpr int kKindRole = Qt::UserRole + 3;
  enum Kind { Heading = 0, Reminder = 1, LookAhead = 2, Note = 3 };

  explicit DayList(QWidget* parent = nullptr);

  // Replaces the rows; empty is the text shown when no day has a reminder.
  void fill(const std::vector<ListedDay>& days, const QString& empty);
  // Scrolls the heading of date, or of the first listed day after it, to
  // the top, and selects nothing.
  void scrollToDay(const pendra::Date& date);
  // The heading row of date, or of the first day after it; -1 when none.
  int headingRowFor(const pendra::Date& date) const;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_DAY_LIST_H_
