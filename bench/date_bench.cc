// Per-call cost of the date conversions.
#include <benchmark/benchmark.h>

#include "common/date.h"

static void BM_DayNumber(benchmark::State& state) {
  pendra::Date d(7, 7, 2005);
  uint32_t year = 1800;
  for (auto _ : state) {
    d.year = year;
    benchmark::DoNotOptimize(d.dayNumber());
    year = year == 9999 ? 1800 : year + 1;
  }
}
BENCHMARK(BM_DayNumber);

static void BM_FromDayNumber(benchmark::State& state) {
  int32_t n = 0;
  pendra::Date d;
  for (auto _ : state) {
    d.fromDayNumber(n);
    benchmark::DoNotOptimize(d);
    n = n > 2900000 ? 0 : n + 997;
  }
}
BENCHMARK(BM_FromDayNumber);

static void BM_AddDaysYear(benchmark::State& state) {
  for (auto _ : state) {
    pendra::Date d(31, 12, 2005);
    d.addDays(365);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_AddDaysYear);

BENCHMARK_MAIN();
