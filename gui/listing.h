// What pendcal -k -l gives back, read into values the windows show: the
// files it read, the occurrences day by day, the reminder counts for the
// month grid, and the problems it reported on standard error.
#ifndef PENDRA_GUI_LISTING_H_
#define PENDRA_GUI_LISTING_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "gui/runner.h"

namespace gui {

// One reminder on one day of the scan.
struct Occurrence {
  pendra::Date scanned;  // the day it is listed on (weekday filled in)
  pendra::Date matched;  // the day it is for; later than scanned for a look-ahead
  std::string file;      // as pendcal names the file
  int line = 0;          // the entry's first line
  std::string text;      // the text as the report prints it, unescaped
  bool lookAhead() const { return !matched.sameDay(scanned); }
};

// A whole listing. Malformed lines (a cut output's last line) are skipped.
struct Listing {
  std::vector<std::string> files;  // the reminder file, then every include
  std::vector<Occurrence> occurrences;
};

// Reads pendcal's -l output.
Listing parseListing(std::string_view output);

// "YYYY-MM-DD" (the year may have more digits) into a date with its weekday;
// false for anything else or an invalid date.
bool parseIsoDate(std::string_view text, pendra::Date* date);
// The other way round: 2026-12-08, 10000-01-01.
std::string isoDate(const pendra::Date& date);

// The listed items of one day, in listing order.
struct Day {
  pendra::Date date;
  std::vector<const Occurrence*> items;  // pointers into the Listing
};
// The days that have items, in listing order (which is date order). The
// result points into listing, which must outlive it.
std::vector<Day> groupByDay(const Listing& listing);

// How many reminders fall on each day, keyed by day number: only a day's
// own reminders count, not look-ahead announcements of it.
std::map<int64_t, int> reminderCounts(const Listing& listing);

// One problem pendcal reported (or the engine's own failure).
struct Problem {
  std::string file;    // empty when the problem names no place
  int line = 0;        // 0 when it names no line
  std::string text;    // the first line without its place: "error: not an action"
  std::string detail;  // the lines after it (a backtrace), joined with '\n'; may be empty
};

// The problems on pendcal -k's standard error. Lines before the first
// problem (Scheme output) are not problems and are dropped.
std::vector<Problem> parseProblems(std::string_view errors);

// Everything one listing run gave, as the window shows it.
struct ListingResult {
  bool noReminderFile = false;    // pendcal found no file: show the welcome
  Listing listing;                // what could be read
  std::vector<Problem> problems;  // pendcal's, then the engine's own failure
};

// True when the run ended because pendcal found no reminder file: exit
// status 1 and standard output beginning with "usage: pendcal".
bool isNoReminderFile(const EngineRun& run);

// The window's status line about problems: "No problems", "1 problem",
// "3 problems".
std::string problemCountText(size_t problems);

// Reads a run of pendcal -k -l whose standard error was kept apart. A run
// that could not start gives one problem, kEngineError and the engine path;
// a time limit, a signal, a cut output or an unexplained exit status adds a
// problem with the text endingLine() or kOutputCut gives.
ListingResult readListingRun(const EngineRun& run, const std::string& enginePath);

}  // namespace gui

#endif  // PENDRA_GUI_LISTING_H_
