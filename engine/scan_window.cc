#include "engine/scan_window.h"

#include <algorithm>

#include "engine/diagnostics.h"
#include "engine/engine.h"
#include "engine/scan_index.h"

namespace engine {

namespace {

// The scan of -k: an entry whose Scheme procedure fails is reported once,
// at its place, and left out from then on; the day goes on with the
// entries after it.
void scanKeepingGoing(ScanIndex& index, int64_t first, int64_t last, OccurrenceWriter& writer) {
  std::vector<const Reminder*> done;  // the day's entries already written
  for (int64_t n = first; n <= last; ++n) {
    pendra::Date current = pendra::Date::fromNumber(n);
    done.clear();
    for (;;) {
      const Reminder* writing = nullptr;
      try {
        index.forEachMatch(current, [&](const Reminder& entry, const pendra::Date& matched) {
          if (std::find(done.begin(), done.end(), &entry) != done.end()) return;
          writing = &entry;
          writer.occurrence(entry, current, matched);
          writing = nullptr;
          done.push_back(&entry);
        });
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
