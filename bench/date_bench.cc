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

// For scale: the walk over years and months that dayNumber replaces.
static void BM_DayNumberWalk(benchmark::State& state) {
  pendra::Date d(7, 7, 2005);
  for (auto _ : state) {
    uint32_t n = (d.year - 1800) * 365;
    for (uint32_t y = 1800; y < d.year; ++y) n += pendra::isLeapYear(y) ? 1 : 0;
    for (uint8_t k = 1; k < d.month; ++k) n += pendra::daysInMonth(k, d.year);
    benchmark::DoNotOptimize(n + d.day - 1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DayNumberWalk);

BENCHMARK_MAIN();
