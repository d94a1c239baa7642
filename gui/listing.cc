#include "gui/listing.h"

#include <charconv>
#include <cstdio>

namespace gui {

namespace {

// Splits at tabs; the last field runs to the end.
std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
    parts.push_back(line.substr(start, tab - start));
  parts.push_back(line.substr(start));
  return parts;
}

bool parseNumber(std::string_view text, uint64_t* value) {
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

// "\\" "\t" "\n" back into their characters; any other backslash stays.
std::string unescape(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == '\\' || next == 't' || next == 'n') {
        plain += next == 't' ? '\t' : next == 'n' ? '\n' : '\\';
        ++i;
        continue;
      }
    }
    plain += c;
  }
  return plain;
}

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> result;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    result.push_back(line);
    start = end + 1;
  }
  return result;
}

// A problem's first line: "FILE(LINE): TEXT" gives the place; the other
// starts of a problem ("fatal error: ", "warning: ", "pendcal: warning: ")
// have none. False for a line that starts no problem.
bool problemStart(std::string_view line, Problem* problem) {
  // Backtrace lines may be indented; problems start at the line's start.
  if (line.empty() || line.front() == ' ' || line.front() == '\t') return false;
  for (std::string_view prefix : {"fatal error: ", "warning: ", "pendcal: warning: "}) {
    if (line.substr(0, prefix.size()) == prefix) {
      *problem = Problem{};
      problem->text = std::string(line);
      return true;
    }
  }
  // The place ends at the first "(digits): " whose file part is not empty.
  for (size_t open = line.find('('); open != std::string_view::npos;
       open = line.find('(', open + 1)) {
    size_t close = line.find("): ", open);
    if (open == 0 || close == std::string_view::npos) continue;
    uint64_t number = 0;
    if (!parseNumber(line.substr(open + 1, close - open - 1), &number) || number > 0x7fffffff)
      continue;
    *problem = Problem{};
    problem->file = std::string(line.substr(0, open));
    problem->line = static_cast<int>(number);
    problem->text = std::string(line.substr(close + 3));
    return true;
  }
  return false;
}

}  // namespace

bool parseIsoDate(std::string_view text, pendra::Date* date) {
  size_t first = text.find('-');
  if (first == std::string_view::npos || text.size() != first + 6 || text[first + 3] != '-')
    return false;
  uint64_t year = 0, month = 0, day = 0;
  if (first < 4 || !parseNumber(text.substr(0, first), &year) || year > 0xffffffffu ||
      !parseNumber(text.substr(first + 1, 2), &month) ||
      !parseNumber(text.substr(first + 4, 2), &day))
    return false;
  pendra::Date parsed(static_cast<uint8_t>(day), static_cast<uint8_t>(month),
                      static_cast<uint32_t>(year));
  if (month > 12 || day > 31 || !parsed.isValid()) return false;
  parsed.weekday = pendra::weekdayOf(parsed.day, parsed.month, parsed.year);
  *date = parsed;
  return true;
}

std::string isoDate(const pendra::Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", static_cast<unsigned>(date.year),
                static_cast<unsigned>(date.month), static_cast<unsigned>(date.day));
  return text;
}

Listing parseListing(std::string_view output) {
  Listing listing;
  for (std::string_view line : lines(output)) {
    std::vector<std::string_view> parts = fields(line);
    if (parts.size() == 2 && parts[0] == "file") {
      listing.files.emplace_back(parts[1]);
      continue;
    }
    Occurrence occurrence;
    uint64_t number = 0;
    if (parts.size() != 5 || !parseIsoDate(parts[0], &occurrence.scanned) ||
        !parseIsoDate(parts[1], &occurrence.matched) || !parseNumber(parts[3], &number) ||
        number > 0x7fffffff)
      continue;
    occurrence.file = std::string(parts[2]);
    occurrence.line = static_cast<int>(number);
    occurrence.text = unescape(parts[4]);
    listing.occurrences.push_back(std::move(occurrence));
  }
  return listing;
}

std::vector<Day> groupByDay(const Listing& listing) {
  std::vector<Day> days;
  for (const Occurrence& occurrence : listing.occurrences) {
    if (days.empty() || !days.back().date.sameDay(occurrence.scanned))
      days.push_back(Day{occurrence.scanned, {}});
    days.back().items.push_back(&occurrence);
  }
  return days;
}

std::map<int64_t, int> reminderCounts(const Listing& listing) {
  std::map<int64_t, int> counts;
  for (const Occurrence& occurrence : listing.occurrences)
    if (!occurrence.lookAhead()) ++counts[occurrence.matched.dayNumber()];
  return counts;
}

std::vector<Problem> parseProblems(std::string_view errors) {
  std::vector<Problem> problems;
  Problem next;
  for (std::string_view line : lines(errors)) {
    if (problemStart(line, &next)) {
      problems.push_back(std::move(next));
    } else if (!problems.empty()) {
      std::string& detail = problems.back().detail;
      if (!detail.empty() || !line.empty()) {
        if (!detail.empty()) detail += '\n';
        detail += line;
      }
    }
  }
  // Blank lines before the backtrace are skipped above; those at its end too.
  for (Problem& problem : problems)
    while (!problem.detail.empty() && problem.detail.back() == '\n') problem.detail.pop_back();
  return problems;
}

std::string problemCountText(size_t problems) {
  if (problems == 0) return "No problems";
  return std::to_string(problems) + (problems == 1 ? " problem" : " problems");
}

bool isNoReminderFile(const EngineRun& run) {
  return run.ok && run.signal == 0 && run.status == 1 &&
         run.output.compare(0, 14, "usage: pendcal") == 0;
}

ListingResult readListingRun(const EngineRun& run, const std::string& enginePath) {
  ListingResult result;
  if (!run.ok) {
    result.problems.push_back(Problem{"", 0, kEngineError, enginePath});
    return result;
  }
  if (isNoReminderFile(run)) {
    result.noReminderFile = true;
    return result;
  }
  result.listing = parseListing(run.output);
  result.problems = parseProblems(run.errors);
  std::string ending = run.cut ? std::string(kOutputCut) : endingLine(run);
  if (!ending.empty()) result.problems.push_back(Problem{"", 0, ending, ""});
  return result;
}

}  // namespace gui
