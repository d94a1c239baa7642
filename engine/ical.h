// The window as an iCalendar object (RFC 5545) instead of report lines:
// one all-day event per occurrence the scan announces, each with a UID that
// survives re-exports and edits to other entries.
#ifndef PENDRA_ENGINE_ICAL_H_
#define PENDRA_ENGINE_ICAL_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/date.h"
#include "engine/reminder.h"
#include "engine/scan_window.h"

namespace engine {

// ---- Content lines ----------------------------------------------------------

// A TEXT value: a byte sequence that is not UTF-8 is read as Latin-1 and
// re-encoded; backslash, semicolon and comma get a backslash; each line end
// (CR LF, LF or CR) becomes "\n"; other control characters but tab are left
// out.
std::string escapeText(std::string_view text);

// Appends the content line "name:value" to out, folded so that no physical
// line is longer than 75 octets, never inside a UTF-8 sequence, each ended
// by CR LF. REQUIRES: value is UTF-8 (escapeText's results are).
void appendContentLine(std::string* out, std::string_view name, std::string_view value);

// "YYYYMMDDTHHMMSSZ" for seconds since 1970 (UTC), held to 1970 .. 9999.
std::string utcStamp(int64_t seconds);

// The DTSTAMP of this run: SOURCE_DATE_EPOCH when set to a number of
// seconds up to the end of 9999, else the current time (engine/settings.h).
int64_t stampSeconds();

// The first line of text (lines end in CR LF, LF or CR) that holds
// something other than spaces and tabs; empty when there is none.
std::string_view summaryLine(std::string_view text);

// ---- The calendar -------------------------------------------------------------

// The calendar for the window, on standard output. An entry that matches a
// day of the window gives one event per action on its matched date (the
// event date the report announces, later than the day with a look-ahead,
// which then becomes an alarm). The calendar is named after the reminder
// file. Scheme errors in fields end the run as in the report.
std::unique_ptr<OccurrenceWriter> makeCalendarWriter(const RunInfo& run);

}  // namespace engine

#endif  // PENDRA_ENGINE_ICAL_H_
