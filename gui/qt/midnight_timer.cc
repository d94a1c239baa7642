#include "gui/qt/midnight_timer.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <utility>

namespace gui {

MidnightTimer::MidnightTimer(Clock clock, NewDay newDay, QObject* parent)
    : QObject(parent), clock_(std::move(clock)), newDay_(std::move(newDay)), today_(clock_()) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { check(); });
  timer_.start(nextCheckIn());
}

void MidnightTimer::check() {
  pendra::Date now = clock_();
  if (!now.sameDay(today_)) {
    pendra::Date previous = today_;
    today_ = now;
    newDay_(previous, now);
  }
  timer_.start(nextCheckIn());
}

int MidnightTimer::nextCheckIn() {
  QDateTime now = QDateTime::currentDateTime();
  QDateTime midnight = now.date().addDays(1).startOfDay();
  qint64 wait = now.msecsTo(midnight) + 200;
  return static_cast<int>(std::clamp<qint64>(wait, 200, 60 * 1000));
}

}  // namespace gui
