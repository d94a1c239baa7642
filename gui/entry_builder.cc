#include "gui/entry_builder.h"

#include <algorithm>

#include "gui/runner.h"

namespace gui {

namespace {

const char* const kOrdinals[] = {"", "first", "second", "third", "fourth", "last"};

}  // namespace

std::string formProblem(const EntryForm& form) {
  if (form.text.find_first_not_of(" \t\r\n") == std::string::npos)
    return "Write what to be reminded of.";
  if (form.text.size() > kMaxTextLength)
    return "The text is too long: at most " + std::to_string(kMaxTextLength) + " characters.";
  if (!form.date.isValid()) return "The date is not valid.";
  // The reminder language takes years 1800 to 3000.
  if (form.date.year < 1800 || form.date.year > 3000)
    return "The date must lie between 1800 and 3000.";
  if (form.daysBefore < 0 || form.daysBefore > kMaxDaysBefore)
    return "Remind at most " + std::to_string(kMaxDaysBefore) + " days before.";
  return std::string();
}

std::string bracketText(std::string_view text) {
  std::string bracketed = "[";
  for (char c : text) {
    if (c == '[' || c == ']' || c == '\\') bracketed += '\\';
    bracketed += c;
  }
  return bracketed + "]";
}

std::string dateWords(const pendra::Date& date, Repeat repeat) {
  std::string day = std::to_string(date.day);
  std::string month = pendra::kMonthNames[date.month];
  std::string weekday = pendra::kWeekdayNames[pendra::weekdayOf(date.day, date.month, date.year)];
  switch (repeat) {
    case Repeat::Weekly:
      return weekday;
    case Repeat::MonthlyOnDay:
      return day;
    case Repeat::MonthlyOnWeekday:
      // The 29th to 31st are always a fifth one, which most months lack.
      return std::string(kOrdinals[std::min((date.day - 1) / 7 + 1, 5)]) + " " + weekday;
    case Repeat::Yearly:
      return day + " " + month;
    case Repeat::None:
      break;
  }
  return day + " " + month + " " + std::to_string(date.year);
}

std::string repeatName(Repeat repeat, const pendra::Date& date) {
  switch (repeat) {
    case Repeat::None:
      return "Does not repeat";
    case Repeat::Weekly:
      return "Every week";
    case Repeat::MonthlyOnDay:
      return "Every month on this day";
    case Repeat::MonthlyOnWeekday:
      return "Every month on the " + dateWords(date, Repeat::MonthlyOnWeekday);
    case Repeat::Yearly:
      return "Every year";
  }
  return {};
}

std::string entryText(const EntryForm& form) {
  std::string entry = dateWords(form.date, form.repeat);
  if (form.daysBefore == 1) entry += " previous 1 day";
  if (form.daysBefore > 1) entry += " previous " + std::to_string(form.daysBefore) + " days";
  return entry + " remind " + bracketText(form.text) + ".";
}

std::string_view lineEndOf(std::string_view bytes) {
  size_t end = bytes.find('\n');
  return end != std::string_view::npos && end > 0 && bytes[end - 1] == '\r' ? "\r\n" : "\n";
}

std::string appendEntry(std::string_view fileBytes, std::string_view entry) {
  std::string_view end = lineEndOf(fileBytes);
  std::string bytes(fileBytes);
  if (!bytes.empty() && bytes.back() != '\n') bytes += end;
  bytes += entry;
  return bytes += end;
}

std::vector<std::string> previewArguments(const std::string& entryFile, const pendra::Date& from) {
  return listingArguments(from, 0, kPreviewDays, entryFile);
}

std::vector<pendra::Date> nextDays(const Listing& listing, size_t count) {
  std::vector<pendra::Date> days;
  for (const Occurrence& occurrence : listing.occurrences) {
    if (days.size() == count) break;
    if (occurrence.lookAhead()) continue;
    if (days.empty() || !days.back().sameDay(occurrence.matched))
      days.push_back(occurrence.matched);
  }
  return days;
}

}  // namespace gui
