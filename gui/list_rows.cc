#include "gui/list_rows.h"

#include <algorithm>

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

Range listingRange(View view, const pendra::Date& picked) {
  Range shown = viewRange(view, picked);
  pendra::Date monthFirst(1, picked.month, picked.year);
  pendra::Date monthLast(pendra::daysInMonth(picked.month, picked.year), picked.month, picked.year);
  int64_t day = picked.dayNumber();
  Range run;
  run.date = picked;
  run.before = static_cast<int>(day - std::min(shown.first().dayNumber(), monthFirst.dayNumber()));
  run.after = static_cast<int>(std::max(shown.last().dayNumber(), monthLast.dayNumber()) - day);
  return run;
}

std::vector<ListRow> listRows(const ListingResult& result, const Range& shown,
                              const pendra::Date& today) {
  std::vector<ListRow> rows;
  for (const Problem& problem : result.problems)
    rows.push_back({ListRow::Kind::Problem, problemText(problem), {}, problem.file, problem.line});
  bool any = false;
  for (const Day& day : groupByDay(result.listing)) {
    if (!shown.contains(day.date)) continue;
    any = true;
    rows.push_back({ListRow::Kind::Heading, dayHeading(day.date, today), day.date, {}, 0});
    for (const Occurrence* item : day.items) {
      rows.push_back({item->lookAhead() ? ListRow::Kind::LookAhead : ListRow::Kind::Reminder,
                      itemText(item->scanned, item->matched, item->text, today), day.date,
                      item->file, item->line});
    }
  }
  if (!any) {
    rows.push_back(
        {ListRow::Kind::Message,
         "No reminders from " + windowDate(shown.first()) + " to " + windowDate(shown.last()),
         {},
         {},
         0});
  }
  return rows;
}

std::vector<ListRow> noReminderFileRows(const std::vector<std::string>& places) {
  std::vector<ListRow> rows;
  rows.push_back({ListRow::Kind::Message,
                  "Welcome to Pendra. There is no reminder file yet; pendcal looks for "
                  "pendra.pnd in these places:",
                  {},
                  {},
                  0});
  for (const std::string& place : places)
    rows.push_back({ListRow::Kind::Message, place, {}, {}, 0});
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
