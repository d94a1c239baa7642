// What the tray tells the user: the pendcal listing it reads, the problem
// count from the engine's messages, the state of what was notified (so a day
// is never notified twice) and the plan of notifications for one check.
// No toolkit here; the Qt and Win32 trays share it.
#ifndef PENDRA_GUI_TRAY_PLAN_H_
#define PENDRA_GUI_TRAY_PLAN_H_

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "gui/runner.h"

namespace gui {

// A catch-up looks back at most this many days.
constexpr int kCatchUpDays = 7;
// A notification holds at most this many reminder lines, then "and N more".
constexpr size_t kNotifyLines = 8;
inline constexpr char kCatchUpTitle[] = "While you were away";

// One occurrence record of `pendcal -l`.
struct TrayItem {
  pendra::Date scanned, matched;
  std::string file;
  int line = 0;
  std::string text;  // unescaped
  bool lookAhead() const { return matched.dayNumber() > scanned.dayNumber(); }
  // The key under which it counts as notified: file, line, matched day, text.
  std::string key() const;
};

struct TrayListing {
  std::vector<std::string> files;  // the reminder file and what it included
  std::vector<TrayItem> items;
};

// Reads the records of `pendcal -l`; lines that are no record are skipped.
TrayListing parseTrayListing(std::string_view output);

// How many problems the engine reported on standard error under -k: the
// lines that start one (placed errors and warnings, fatal errors, command
// line warnings). Scheme output and backtrace lines do not count.
int countProblems(std::string_view errors);

// The one line that tells of trouble, or empty: the engine could not run or
// ended badly, or "2 problems in pendra.pnd" (the reminder file's own name).
std::string troubleLine(const EngineRun& run, const TrayListing& listing);

// "Tue 8 Dec 2026"; "Tue 8 Dec" with withYear false.
std::string shortDate(const pendra::Date& date, bool withYear = true);
// "2026-12-08"; parseIsoDate gives false for anything else (years 1..99999).
std::string isoDate(const pendra::Date& date);
bool parseIsoDate(std::string_view text, pendra::Date* date);

// What was notified last: the day, the keys of the reminders notified for
// it and the trouble line shown. valid is false when there was no state.
struct NotifyState {
  bool valid = false;
  pendra::Date day;
  std::set<std::string> keys;
  std::string trouble;
};

// The state file's text, and back. A damaged text gives an invalid state.
std::string formatNotifyState(const NotifyState& state);
NotifyState parseNotifyState(std::string_view text);

// How many days before today the check asks pendcal for: the days missed
// since the last notified day, at most kCatchUpDays; 0 without a state.
int catchUpDays(const NotifyState& state, const pendra::Date& today);

struct Notification {
  std::string title;
  std::vector<std::string> lines;
  std::string body() const;  // the lines joined by line feeds
};

struct NotifyPlan {
  std::vector<Notification> notifications;  // in the order to send
  NotifyState next;                         // to store before sending
};

// The notifications for one check on today, given the listing of a window
// that ends today and starts catchUpDays(state, today) before it: first a
// catch-up of the missed days' reminders, then today's reminders and the
// look-ahead announcements scanned today (only those not yet notified when
// today was notified before), with the trouble line last when it is new.
NotifyPlan planNotifications(const TrayListing& listing, const std::string& trouble,
                             const NotifyState& state, const pendra::Date& today);

}  // namespace gui

#endif  // PENDRA_GUI_TRAY_PLAN_H_
