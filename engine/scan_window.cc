#include "engine/scan_window.h"

#include "engine/diagnostics.h"
#include "engine/engine.h"
#include "engine/scan_index.h"

namespace engine {

namespace {

// The scan of -k: an entry whose Scheme procedure fails is reported once,
// at its place, and left out from then on; the day resumes with the entries
// after it, so that no procedure is asked twice about one day.
void scanKeepingGoing(ScanIndex& index, int64_t first, int64_t last, OccurrenceWriter& writer) {
  for (int64_t n = first; n <= last; ++n) {
    pendra::Date current = pendra::Date::fromNumber(n);
    uint32_t from = 0;
    for (;;) {
      const Reminder* writing = nullptr;
      try {
        index.forEachMatch(
            current,
            [&](const Reminder& entry, const pendra::Date& matched) {
              writing = &entry;
              writer.occurrence(entry, current, matched);
              writing = nullptr;
            },
            from);
        break;
      } catch (const SchemeAbort&) {
        // A field failed while writing, or a date test or list while asking.
        const Reminder* culprit = writing != nullptr ? writing : index.asking();
        if (culprit == nullptr) {
          Engine::current().reportSchemeError(nullptr, 0);
          break;
        }
        Engine::current().reportSchemeError(culprit->file.c_str(), culprit->line);
        index.leaveOut(culprit);
        from = index.position(culprit) + 1;
      }
    }
  }
}

}  // namespace

void scanWindow(const std::vector<std::unique_ptr<Reminder>>& entries, int64_t first, int64_t last,
                OccurrenceWriter& writer) {
  writer.begin(entries);
  ScanIndex index(entries);
  if (keepGoing()) {
    scanKeepingGoing(index, first, last, writer);
    writer.end();
    return;
  }
  for (int64_t n = first; n <= last; ++n) {
    pendra::Date current = pendra::Date::fromNumber(n);
    index.forEachMatch(current, [&](const Reminder& entry, const pendra::Date& matched) {
      writer.occurrence(entry, current, matched);
    });
  }
  writer.end();
}

}  // namespace engine
