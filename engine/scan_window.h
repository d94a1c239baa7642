// The day scan over a window, and what writes its occurrences: the report,
// the iCalendar object, the listing. Each writer lives in a file of its own
// and is chosen by the option table of engine/command_line.cc.
#ifndef PENDRA_ENGINE_SCAN_WINDOW_H_
#define PENDRA_ENGINE_SCAN_WINDOW_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/date.h"
#include "engine/reminder.h"

namespace engine {

class StdoutPort;

// What a writer knows of the run.
struct RunInfo {
  pendra::Date today;
  int64_t first = 0, last = 0;  // day numbers of the window, first <= last when not empty
  int before = 0, after = 0;    // as given on the command line
  std::string fileName;         // of the main reminder file, as opened
  const std::vector<std::string>* filesRead = nullptr;  // the main file and its includes
  StdoutPort* port = nullptr;                           // Scheme output and messages
  std::FILE* out = nullptr;                             // standard output
};

class OccurrenceWriter {
 public:
  virtual ~OccurrenceWriter() = default;
  // Before the first day of the scan, with every entry read.
  virtual void begin(const std::vector<std::unique_ptr<Reminder>>& entries) {}
  // An entry matched on scanned, about the day matched (later than scanned
  // for a look-ahead announcement); in report order.
  virtual void occurrence(const Reminder& entry, const pendra::Date& scanned,
                          const pendra::Date& matched) = 0;
  // After the last day.
  virtual void end() {}
};

// Makes a writer for a run.
using WriterFactory = std::unique_ptr<OccurrenceWriter> (*)(const RunInfo& run);

// Calls writer for every entry that matches each day of first .. last (day
// numbers), day by day, entries in file order: begin, the occurrences, end.
void scanWindow(const std::vector<std::unique_ptr<Reminder>>& entries, int64_t first, int64_t last,
                OccurrenceWriter& writer);

}  // namespace engine

#endif  // PENDRA_ENGINE_SCAN_WINDOW_H_
