// A whole reminder file, read and scanned in-process as pendcal does, over
// a fixed window and the last days a date can hold.
#include <cstddef>
#include <cstdint>

#include "engine/scan_index.h"
#include "tests/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Session session(data, size);
  try {
    session.readEntries();
    engine::ScanIndex index(session.entries());
    const int64_t kWindows[2][2] = {
        {pendra::Date(20, 12, 2004).dayNumber(), pendra::Date(10, 1, 2006).dayNumber()},
        {pendra::Date(20, 12, 65535).dayNumber(), pendra::Date(31, 12, 65535).dayNumber()}};
    for (const auto& window : kWindows) {
      for (int64_t n = window[0]; n <= window[1]; ++n) {
        pendra::Date day = fuzz::dayOf(n);
        index.forEachMatch(day, [&](const engine::Reminder& entry, const pendra::Date& matched) {
          pendra::Date occurrence = entry.specifier->occurrence(day);
          for (const auto& action : entry.actions) action->perform(day, occurrence, matched);
        });
      }
    }
  } catch (const engine_test::SchemeError&) {
    // Reported; pendcal would stop here.
  }
  return 0;
}
