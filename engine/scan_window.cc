#include "engine/scan_window.h"

#include "engine/scan_index.h"

namespace engine {

void scanWindow(const std::vector<std::unique_ptr<Reminder>>& entries, int64_t first, int64_t last,
                OccurrenceWriter& writer) {
  writer.begin(entries);
  ScanIndex index(entries);
  for (int64_t n = first; n <= last; ++n) {
    pendra::Date current = pendra::Date::fromNumber(n);
    index.forEachMatch(current, [&](const Reminder& entry, const pendra::Date& matched) {
      writer.occurrence(entry, current, matched);
    });
  }
  writer.end();
}

}  // namespace engine
