// The running engine: one object that holds a run's state (the interpreter,
// its hooks, the output port, the reader and the files it opened), and the
// reach the engine's own Scheme procedures (dates, binders, include) have
// into it. The keyword table and its flags are in engine/keyword_table.h;
// the reader and its inputs in engine/reminder_reader.h.
#ifndef PENDRA_ENGINE_ENGINE_H_
#define PENDRA_ENGINE_ENGINE_H_

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/keyword_table.h"
#include "scheme/host.h"
#include "scheme/value.h"

namespace scheme {
class Interpreter;
}

namespace engine {

class InputFile;
class ReminderReader;
class StdoutPort;
struct Reminder;

// The engine's part in the interpreter's errors and printing.
class EngineHooks : public scheme::HostHooks {
 public:
  // After a Scheme error report: flushes the output and ends the run with
  // exit status 1; with -k throws SchemeAbort (engine/diagnostics.h)
  // instead, the report waiting in the engine.
  void onError() override;
  // Dates (host immediates) as "#<date: 7 jul 2005>"; declines anything else.
  bool writeForeign(scheme::OutputPort& port, scheme::Value v) override;
  // Always declines, so that display falls back to the written form.
  bool displayForeign(scheme::OutputPort& port, scheme::Value v) override;
};

class Engine {
 public:
  // The engine of this run. REQUIRES: start or attach has run.
  static Engine& current();
  // pendcal's start-up: the port on standard output, the hooks, the
  // interpreter (with the heap limit of the environment) and the keyword
  // table; allocation failures end the run with the interpreter's report.
  // Made once and never destroyed: everything the run builds may refer to it.
  static Engine& start();
  // The engine over an interpreter made elsewhere (tests, fuzzers,
  // benchmarks): weekday symbols and keyword table for in; no port, no
  // reader.
  static Engine& attach(scheme::Interpreter& in);

  scheme::Interpreter& interpreter() const { return *in_; }
  // The port everything printed for people goes through; null when attached.
  StdoutPort* port() const { return port_; }

  // The main reminder file, opened as fileName: the reader over it, which
  // becomes the current reader.
  void open(const char* fileName, std::FILE* file);
  // Reads entries until the input ends, kMaxEntries are held or a fatal
  // error; reminder-file errors are reported on the port as they come. The
  // current reader is then withdrawn: a procedure run during the scan has
  // no file to include into.
  std::vector<std::unique_ptr<Reminder>> readEntries();
  // Closes whatever the reader left open.
  void closeInputs();

  // -k: a Scheme error no longer ends the run: its report is held until
  // reportSchemeError places it; backtraces show at most five frames;
  // messages go to standard error. See engine/diagnostics.h.
  void startKeepingGoing();
  // Prints the Scheme error report held since the last SchemeAbort on
  // standard error, its first line starting "file(line): " (nothing when
  // file is null), and counts it.
  void reportSchemeError(const char* file, int32_t line);

  // The reader whose file is being read, for include; null before the
  // reader is made and during the day scan.
  ReminderReader* currentReader() const { return currentReader_; }
  void setCurrentReader(ReminderReader* reader) { currentReader_ = reader; }
  // Pushes an included file on the current reader; it is read next.
  // REQUIRES: a current reader.
  void include(std::unique_ptr<InputFile> source);
  // The main file and every file included, in the order opened, as error
  // lines name them.
  const std::vector<std::string>& filesRead() const { return filesRead_; }

  // The symbol sunday (1) .. saturday (7). REQUIRES: 1 <= weekday <= 7.
  scheme::Value weekdaySymbol(int weekday) const;

 private:
  Engine() = default;
  void use(scheme::Interpreter& in);

  StdoutPort* port_ = nullptr;
  EngineHooks hooks_;
  scheme::Interpreter* in_ = nullptr;
  std::unique_ptr<ReminderReader> reader_;
  ReminderReader* currentReader_ = nullptr;
  std::vector<std::string> filesRead_;
  scheme::Value weekdaySymbols_[8];
  std::string report_;  // a Scheme error report held with -k
};

// Shorthands for Engine::current()'s, for the engine's Scheme procedures
// and the tests.
scheme::Interpreter& interpreter();
ReminderReader* currentReader();
void setCurrentReader(ReminderReader* reader);
scheme::Value weekdaySymbol(int weekday);
// Engine::attach(in).
void useInterpreter(scheme::Interpreter& in);

}  // namespace engine

#endif  // PENDRA_ENGINE_ENGINE_H_
