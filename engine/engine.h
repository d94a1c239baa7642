// What the engine's own Scheme procedures (dates, binders, include) need
// from the running engine. The keyword table and its flags are in
// engine/keyword_table.h; the reader and its inputs in
// engine/reminder_reader.h.
#ifndef PENDRA_ENGINE_ENGINE_H_
#define PENDRA_ENGINE_ENGINE_H_

#include "engine/keyword_table.h"
#include "scheme/host.h"
#include "scheme/value.h"

namespace scheme {
class Interpreter;
}

namespace engine {

class ReminderReader;

// The interpreter of this run. REQUIRES: engineStartUp (or useInterpreter)
// has run.
scheme::Interpreter& interpreter();

// The reader whose file is being read, for include; null before the reader
// is made and during the day scan.
ReminderReader* currentReader();
void setCurrentReader(ReminderReader* reader);

// The symbol sunday (1) .. saturday (7). REQUIRES: 1 <= weekday <= 7.
scheme::Value weekdaySymbol(int weekday);

// The engine's part in the interpreter's errors and printing.
class EngineHooks : public scheme::HostHooks {
 public:
  // After a Scheme error report: flushes the output and ends the run with
  // exit status 1.
  void onError() override;
  // Dates (host immediates) as "#<date: 7 jul 2005>"; declines anything else.
  bool writeForeign(scheme::OutputPort& port, scheme::Value v) override;
  // Always declines, so that display falls back to the written form.
  bool displayForeign(scheme::OutputPort& port, scheme::Value v) override;
};

// Start-up steps that follow the interpreter's creation: interns the
// weekday symbols and fills the keyword table for in. engineStartUp calls
// it; tests call it with an interpreter of their own.
void useInterpreter(scheme::Interpreter& in);

}  // namespace engine

#endif  // PENDRA_ENGINE_ENGINE_H_
