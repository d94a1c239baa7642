// The Add form's entry: from a date, a repeat, a text and a look-ahead to
// one sentence of the reminder language, appended to the file's bytes with
// the file's own line ends; and how to ask pendcal when it next falls.
#ifndef PENDRA_GUI_ENTRY_BUILDER_H_
#define PENDRA_GUI_ENTRY_BUILDER_H_

#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "gui/listing.h"

namespace gui {

enum class Repeat {
  None,              // that one day: "8 dec 2026"
  Weekly,            // its weekday every week: "tue"
  MonthlyOnDay,      // its day every month: "8"
  MonthlyOnWeekday,  // its n-th weekday every month: "second tue" ("last" for a fifth)
  Yearly,            // its day and month every year: "8 dec"
};

// What the form holds.
struct EntryForm {
  pendra::Date date;
  Repeat repeat = Repeat::None;
  std::string text;    // may hold any character; escaped when written
  int daysBefore = 0;  // "previous N days"; 0 = none
};

// The longest text and look-ahead the form accepts.
constexpr size_t kMaxTextLength = 400;
constexpr int kMaxDaysBefore = 365;

// What is wrong with the form, or "" when it can be written: an empty text,
// a text too long, a date that is not valid or outside the language's years
// (1800..3000), daysBefore outside 0..kMaxDaysBefore.
std::string formProblem(const EntryForm& form);

// The text in brackets with "[", "]" and "\" escaped by a backslash:
// "a]b" -> "[a\]b]".
std::string bracketText(std::string_view text);

// The date words for the repeat: "8 dec 2026", "tue", "8", "second tue", "8 dec".
std::string dateWords(const pendra::Date& date, Repeat repeat);

// The repeat choices in the order the Add form lists them.
inline constexpr Repeat kRepeats[] = {Repeat::None, Repeat::Weekly, Repeat::MonthlyOnDay,
                                      Repeat::MonthlyOnWeekday, Repeat::Yearly};

// The choice as the Add form lists it: "Does not repeat", "Every week",
// "Every month on this day", "Every month on the second tue", "Every year".
std::string repeatName(Repeat repeat, const pendra::Date& date);

// The whole entry without a line end, e.g. "second tue previous 2 days
// remind [Dentist]." REQUIRES: formProblem(form) is empty.
std::string entryText(const EntryForm& form);

// The file's line end: "\r\n" when its first line end is CR LF, else "\n"
// (also for a file with no line end).
std::string_view lineEndOf(std::string_view bytes);

// The file's bytes with the entry appended as one line: a line end first
// when the file is not empty and lacks a final one, then the entry and a
// line end, each in the file's own style.
std::string appendEntry(std::string_view fileBytes, std::string_view entry);

// Days a preview run looks ahead: enough for a yearly entry to fall three
// times.
constexpr int kPreviewDays = 3 * 366 + 31;

// The arguments for pendcal to list a file holding only the entry from the
// first day on: -k -l -f FILE -b 0 -a kPreviewDays DAY MON YEAR.
std::vector<std::string> previewArguments(const std::string& entryFile, const pendra::Date& from);

// The first count distinct days on which the listing has an own reminder
// (not a look-ahead), in order.
std::vector<pendra::Date> nextDays(const Listing& listing, size_t count = 3);

}  // namespace gui

#endif  // PENDRA_GUI_ENTRY_BUILDER_H_
