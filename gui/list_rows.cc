#include "gui/list_rows.h"

namespace gui {

std::string problemText(const Problem& problem) {
  std::string text;
  if (!problem.file.empty()) {
    text = problem.file;
    if (problem.line > 0) {
      text += '(';
      text += std::to_string(problem.line);
      text += ')';
    }
    text += ": ";
  }
  text += problem.text;
  if (!problem.detail.empty()) text += "\n" + problem.detail;
  return text;
}

std::vector<ListRow> listRows(const ListingResult& result, const Range& range,
                              const pendra::Date& today) {
  std::vector<ListRow> rows;
  for (const Problem& problem : result.problems)
    rows.push_back({ListRow::Kind::Problem, problemText(problem), {}});
  std::vector<Day> days = groupByDay(result.listing);
  for (const Day& day : days) {
    rows.push_back({ListRow::Kind::Heading, dayHeading(day.date, today), day.date});
    for (const Occurrence* item : day.items) {
      rows.push_back({item->lookAhead() ? ListRow::Kind::LookAhead : ListRow::Kind::Reminder,
                      itemText(item->scanned, item->matched, item->text, today), day.date});
    }
  }
  if (days.empty()) {
    rows.push_back(
        {ListRow::Kind::Message,
         "No reminders from " + windowDate(range.first()) + " to " + windowDate(range.last()),
         {}});
  }
  return rows;
}

std::vector<ListRow> noReminderFileRows(const std::vector<std::string>& places) {
  std::vector<ListRow> rows;
  rows.push_back({ListRow::Kind::Message,
                  "Welcome to Pendra. There is no reminder file yet; pendcal looks for "
                  "pendra.pnd in these places:",
                  {}});
  for (const std::string& place : places) rows.push_back({ListRow::Kind::Message, place, {}});
  return rows;
}

std::string markedDaysText(const std::map<int64_t, int>& counts, const pendra::Date& first,
                           const pendra::Date& last) {
  std::string text;
  for (auto it = counts.lower_bound(first.dayNumber());
       it != counts.end() && it->first <= last.dayNumber(); ++it) {
    if (it->second <= 0) continue;
    pendra::Date day = pendra::Date::fromNumber(it->first);
    if (!text.empty()) text += "; ";
    text += accessibleDayName(day, it->second);
  }
  return text;
}

}  // namespace gui
