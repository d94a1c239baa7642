// The month grid beside the list: six weeks of seven days, Monday first,
// today highlighted, the picked day selected, days with reminders bold with
// a dot. Each cell tells a screen reader its day and how many reminders it
// holds ("9 December, 2 reminders"). A plain model/view table, so that the
// cells' accessible text is ours to give.
#ifndef PENDRA_GUI_QT_MONTH_GRID_H_
#define PENDRA_GUI_QT_MONTH_GRID_H_

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <map>

#include "common/date.h"

namespace gui {

// The date a month step lands on: the same day in the month count months
// on, or that month's last day when it is shorter.
pendra::Date stepMonths(pendra::Date date, int count);

class MonthModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Shows the month that holds picked; today is highlighted wherever shown.
  void setDates(const pendra::Date& picked, const pendra::Date& today);
  // Reminders per day number (pendra::Date::dayNumber()); days not in it
  // hold none.
  void setCounts(std::map<int64_t, int> counts);

  // The date a cell shows: the first row starts on the Monday on or before
  // the month's first day.
  pendra::Date dateAt(const QModelIndex& index) const;
  QModelIndex indexOf(const pendra::Date& date) const;
  int countOn(const pendra::Date& date) const;
  const pendra::Date& picked() const { return picked_; }

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 6; }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 7;
  }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  pendra::Date picked_{1, 1, 2000};
  pendra::Date today_{1, 1, 2000};
  int64_t firstShown_ = 0;  // day number of the top left cell
  std::map<int64_t, int> counts_;
};

class MonthGrid : public QTableView {
 public:
  using Picked = std::function<void(const pendra::Date&)>;

  explicit MonthGrid(QWidget* parent = nullptr);

  // Shows picked's month with picked selected; does not call onPicked.
  void setDates(const pendra::Date& picked, const pendra::Date& today);
  void setCounts(std::map<int64_t, int> counts) { model_.setCounts(std::move(counts)); }
  // Called when the user picks a day: a click, or the keys (arrows a day or
  // a week, Page Up and Page Down a month).
  void onPicked(Picked picked) { picked_ = std::move(picked); }

  const MonthModel& monthModel() const { return model_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void pick(const pendra::Date& date);

  MonthModel model_;
  Picked picked_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_MONTH_GRID_H_
