// The scan index against the plain definition: on every day of a window,
// the entries the index yields, with their matched days, must be those
// found by testing each entry's day and then the days of its look-ahead one
// by one. Entries bound to Scheme are left out of the comparison, since
// their procedures may answer differently when asked twice.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/scan_index.h"
#include "tests/fuzz/fuzz_session.h"

namespace {

const int64_t kLastDay = pendra::Date(31, 12, 65535).dayNumber();

// The day the specifier's match succeeds on, by the definition; -1 when it
// fails. Look-aheads longer than kNaiveReach are taken from match itself.
constexpr int64_t kNaiveReach = 800;
int64_t naiveMatch(engine::Specifier& s, int64_t n) {
  int64_t step = s.previousStep();
  int64_t count = s.previousCount() > 0 ? s.previousCount() : 0;
  if (count * step > kNaiveReach) {
    if (!s.match(fuzz::dayOf(n))) return -1;
    return s.matched().dayNumber();
  }
  for (int64_t i = 0; i <= count && n + i * step <= kLastDay; ++i) {
    if (s.test(fuzz::dayOf(n + i * step))) return n + i * step;
  }
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Session session(data, size);
  try {
    session.readEntries();
    auto& entries = session.entries();
    engine::ScanIndex index(entries);
    const int64_t kWindows[2][2] = {
        {pendra::Date(25, 12, 2003).dayNumber(), pendra::Date(10, 1, 2005).dayNumber()},
        {pendra::Date(1, 12, 65535).dayNumber(), kLastDay}};
    for (const auto& window : kWindows) {
      for (int64_t n = window[0]; n <= window[1]; ++n) {
        pendra::Date day = fuzz::dayOf(n);
        std::vector<std::pair<size_t, int64_t>> indexed, direct;
        index.forEachMatch(day, [&](const engine::Reminder& r, const pendra::Date& matched) {
          if (r.specifier->callsScheme()) return;
          size_t i = 0;
          while (entries[i].get() != &r) ++i;
          indexed.emplace_back(i, matched.dayNumber());
        });
        for (size_t i = 0; i < entries.size(); ++i) {
          if (entries[i]->specifier->callsScheme()) continue;
          int64_t m = naiveMatch(*entries[i]->specifier, n);
          if (m >= 0) direct.emplace_back(i, m);
        }
        if (indexed != direct) {
          std::fprintf(stderr, "scan index and direct tests differ on day %lld\n",
                       static_cast<long long>(n));
          std::abort();
        }
      }
    }
  } catch (const engine_test::SchemeError&) {
  }
  return 0;
}
