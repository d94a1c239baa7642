#include "engine/driver.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/bounds.h"
#include "engine/diagnostics.h"
#include "engine/engine.h"
#include "engine/output.h"
#include "engine/reminder.h"
#include "engine/report_writer.h"

namespace engine {

void engineStartUp() { Engine::start(); }

void startKeepingGoing() { Engine::current().startKeepingGoing(); }

void createReader(const char* fileName, std::FILE* file) { Engine::current().open(fileName, file); }

int runReminders(pendra::Date today, pendra::Date target, int before, int after,
                 WriterFactory writer) {
  Engine& engine = Engine::current();
  if (writer != nullptr || keepGoing()) engine.port()->setFile(stderr);
  std::vector<std::unique_ptr<Reminder>> entries = engine.readEntries();
  // With -k the report goes to standard output, the messages stay apart.
  if (writer == nullptr && keepGoing()) engine.port()->setFile(stdout);

  // Days from 1 January 1800 up to the last day a date value can hold; a
  // window that ends before it starts prints nothing.
  const int64_t kLastDay = pendra::Date(31, 12, pendra::kLastYear).dayNumber();
  int64_t center = target.dayNumber();
  RunInfo run;
  run.today = today;
  run.first = std::max<int64_t>(center - before, 0);
  run.last = std::min<int64_t>(center + after, kLastDay);
  run.before = before;
  run.after = after;
  run.fileName = engine.filesRead().empty() ? std::string() : engine.filesRead().front();
  run.filesRead = &engine.filesRead();
  run.port = engine.port();
  run.out = stdout;
  std::unique_ptr<OccurrenceWriter> w = (writer != nullptr ? writer : makeReportWriter)(run);
  scanWindow(entries, run.first, run.last, *w);

  engine.closeInputs();
  engine.port()->flush();
  return 0;
}

}  // namespace engine
