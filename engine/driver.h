// The driving half of pendcal: start-up, the reading phase, the scan of the
// window through the chosen writer, and the check of the output at the end.
#ifndef PENDRA_ENGINE_DRIVER_H_
#define PENDRA_ENGINE_DRIVER_H_

#include <cstdio>

#include "common/date.h"
#include "engine/scan_window.h"

namespace engine {

// Interpreter, host hooks and keyword table. Runs first, before the command
// line is looked at.
void engineStartUp();
// -k: a Scheme error no longer ends the run (the report goes to standard
// error, its first line placed at the expression or entry at fault, with at
// most five frames), the report alone goes to standard output, and every
// message says more; see engine/diagnostics.h.
void startKeepingGoing();
// -k: a Scheme error no longer ends the run (its report goes to standard
// error, its first line placed at the expression or entry at fault, with at
// most five frames), the report alone goes to standard output, and every
// message says more; see engine/diagnostics.h.
void startKeepingGoing();
// The reader over the opened reminder file, published for include.
void createReader(const char* fileName, std::FILE* file);
// Reads every entry, then scans target - before .. target + after through
// the writer that writer makes: the report when null. With any other
// writer the reading phase's Scheme output and error reports go to
// standard error, so that standard output holds the writer's alone.
// Returns the exit status, 0; output is handed to the stream but not
// checked (finishOutput in engine/output.h does that).
int runReminders(pendra::Date today, pendra::Date target, int before, int after,
                 WriterFactory writer = nullptr);

}  // namespace engine

#endif  // PENDRA_ENGINE_DRIVER_H_
