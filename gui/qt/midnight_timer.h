// Tells the window when the local date has moved on. It checks at the next
// local midnight and at least once a minute, so a clock that was changed or
// a machine that slept past midnight is noticed soon after.
#ifndef PENDRA_GUI_QT_MIDNIGHT_TIMER_H_
#define PENDRA_GUI_QT_MIDNIGHT_TIMER_H_

#include <QObject>
#include <QTimer>
#include <functional>

#include "common/date.h"

namespace gui {

class MidnightTimer : public QObject {
 public:
  using Clock = std::function<pendra::Date()>;
  // newDay(previous, today) runs once for each change of clock()'s date.
  using NewDay = std::function<void(const pendra::Date&, const pendra::Date&)>;

  MidnightTimer(Clock clock, NewDay newDay, QObject* parent = nullptr);

  // Compares clock() with the last date seen, calls newDay if it moved, and
  // sets the timer again. The timer calls it; tests may too.
  void check();

  // Milliseconds from now to the next local midnight, plus a little so
  // the date has surely changed, and at most a minute.
  static int nextCheckIn();

  const pendra::Date& today() const { return today_; }

 private:
  Clock clock_;
  NewDay newDay_;
  pendra::Date today_;
  QTimer timer_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_MIDNIGHT_TIMER_H_
