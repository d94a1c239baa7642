// The working half of pendcal: engine start-up, the reading phase and the
// day-by-day scan with its report lines.
#ifndef PENDRA_ENGINE_DRIVER_H_
#define PENDRA_ENGINE_DRIVER_H_

#include <cstdio>

#include "common/date.h"

namespace engine {

// Interpreter, host hooks and keyword table. Runs first, before the command
// line is looked at.
void engineStartUp();
// -k: a Scheme error no longer ends the run (the report goes to standard
// error, its first line placed at the expression or entry at fault, with at
// most five frames), the report alone goes to standard output, and every
// message says more; see engine/diagnostics.h.
void startKeepingGoing();
// The reader over the opened reminder file, published for include.
void createReader(const char* fileName, std::FILE* file);
// Reads every entry, then scans target - before .. target + after and prints
// the report, or with calendar the iCalendar object; the reading phase's
// Scheme output and error reports then go to standard error, so that
// standard output holds the calendar alone. Returns the exit status.
int runReminders(pendra::Date today, pendra::Date target, int before, int after,
                 bool calendar = false);

}  // namespace engine

#endif  // PENDRA_ENGINE_DRIVER_H_
