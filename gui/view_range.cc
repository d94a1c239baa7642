#include "gui/view_range.h"

#include <cctype>
#include <cstdio>

#include "gui/date_label.h"
#include "gui/listing.h"

namespace gui {

const char* const kShortWeekdayNames[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kShortMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

namespace {

pendra::Date withWeekday(pendra::Date date) {
  date.weekday = pendra::weekdayOf(date.day, date.month, date.year);
  return date;
}

pendra::Date offset(const pendra::Date& date, int64_t days) {
  return pendra::Date::fromNumber(date.dayNumber() + days);
}

int daysBetween(const pendra::Date& from, const pendra::Date& to) {
  return static_cast<int>(to.dayNumber() - from.dayNumber());
}

Range spanning(const pendra::Date& first, const pendra::Date& last, const pendra::Date& target) {
  return Range{withWeekday(target), daysBetween(first, target), daysBetween(target, last)};
}

Range monthOf(const pendra::Date& date) {
  pendra::Date first(1, date.month, date.year);
  pendra::Date last(pendra::daysInMonth(date.month, date.year), date.month, date.year);
  return spanning(first, last, date);
}

}  // namespace

pendra::Date Range::first() const { return offset(date, -before); }
pendra::Date Range::last() const { return offset(date, after); }

bool Range::contains(const pendra::Date& day) const {
  int64_t n = day.dayNumber(), target = date.dayNumber();
  return n >= target - before && n <= target + after;
}

Range viewRange(View view, const pendra::Date& picked) {
  switch (view) {
    case View::Week: {
      // Weekdays run 1 = Sunday .. 7 = Saturday; Monday starts the week.
      int sinceMonday = (pendra::weekdayOf(picked.day, picked.month, picked.year) + 5) % 7;
      return Range{withWeekday(picked), sinceMonday, 6 - sinceMonday};
    }
    case View::Month:
      return monthOf(picked);
    case View::Window:
      break;
  }
  return Range{withWeekday(picked), 7, 14};
}

const char* viewName(View view) {
  switch (view) {
    case View::Week:
      return "week";
    case View::Month:
      return "month";
    case View::Window:
      break;
  }
  return "window";
}

bool parseViewName(std::string_view text, View* view) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (View candidate : {View::Window, View::Week, View::Month}) {
    if (lower == viewName(candidate)) {
      *view = candidate;
      return true;
    }
  }
  return false;
}

Range exportRange(ExportChoice choice, View view, const pendra::Date& picked,
                  const pendra::Date& today) {
  switch (choice) {
    case ExportChoice::Month:
      return monthOf(picked);
    case ExportChoice::TwelveMonths: {
      // To the day before the same date a year on; from 29 February that
      // is 28 February.
      pendra::Date end(today.day, today.month, today.year + 1);
      if (!end.isValid()) end = pendra::Date(1, 3, today.year + 1);
      return spanning(today, offset(end, -1), today);
    }
    case ExportChoice::Shown:
      break;
  }
  return viewRange(view, picked);
}

std::string exportFileName(const Range& range) {
  pendra::Date first = range.first(), last = range.last();
  if (first.day == 1 && last.month == first.month && last.year == first.year &&
      last.day == pendra::daysInMonth(last.month, last.year)) {
    std::string iso = isoDate(first);
    return "pendra-" + iso.substr(0, iso.size() - 3) + ".ics";
  }
  return "pendra-" + isoDate(first) + "-to-" + isoDate(last) + ".ics";
}

std::string exportFileName(ExportChoice, const Range& range) { return exportFileName(range); }

std::string shortDate(const pendra::Date& date) {
  return std::string(kShortWeekdayNames[pendra::weekdayOf(date.day, date.month, date.year)]) + " " +
         std::to_string(date.day) + " " + kShortMonthNames[date.month];
}

std::string windowDate(const pendra::Date& date) {
  return shortDate(date) + " " + std::to_string(date.year);
}

namespace {

std::string dayName(const pendra::Date& date, const pendra::Date& today) {
  return date.year == today.year ? shortDate(date) : windowDate(date);
}

}  // namespace

std::string dayHeading(const pendra::Date& date, const pendra::Date& today) {
  int64_t distance = date.dayNumber() - today.dayNumber();
  if (distance == 0) return "Today";
  if (distance == 1) return "Tomorrow";
  if (distance == -1) return "Yesterday";
  return dayName(date, today);
}

std::string itemText(const pendra::Date& scanned, const pendra::Date& matched,
                     const std::string& text, const pendra::Date& today) {
  if (scanned.sameDay(matched)) return text;
  return dayName(matched, today) + ": " + text;
}

namespace {

std::string counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string accessibleDayName(const pendra::Date& date, int reminders) {
  std::string name = std::to_string(date.day) + " " + kLongMonthNames[date.month];
  if (reminders > 0) name += ", " + counted(reminders, "reminder", "reminders");
  return name;
}

int countEvents(std::string_view calendar) {
  static constexpr std::string_view kBegin = "BEGIN:VEVENT";
  int count = 0;
  for (size_t at = calendar.find(kBegin); at != std::string_view::npos;
       at = calendar.find(kBegin, at + kBegin.size())) {
    size_t end = at + kBegin.size();
    bool wholeLine = (at == 0 || calendar[at - 1] == '\n') &&
                     (end == calendar.size() || calendar[end] == '\r' || calendar[end] == '\n');
    if (wholeLine) ++count;
  }
  return count;
}

std::string exportedText(int reminders, const std::string& path) {
  return "Exported " + counted(reminders, "reminder", "reminders") + " to " + path;
}

}  // namespace gui
