// The cost of the day scan: a whole pendcal run over ten years on a
// 1024-entry reminder file that mixes every specifier kind, the scan's cost
// per day-entry test, and each specifier kind's test on its own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/date.h"
#include "engine/driver.h"
#include "engine/engine.h"
#include "engine/ical.h"
#include "engine/keyword_table.h"
#include "engine/listing_writer.h"
#include "engine/reminder.h"
#include "engine/reminder_reader.h"
#include "engine/scan_index.h"
#include "scheme/interpreter.h"

namespace {

// Ten years: 1826 days either side of 2 January 2010.
constexpr int kBefore = 1826;
constexpr int kAfter = 1826;
constexpr int kDays = kBefore + kAfter + 1;
constexpr int kEntries = 1024;
const pendra::Date kTarget(2, 1, 2010);

class StringSource : public engine::InputSource {
 public:
  explicit StringSource(std::string text) : text_(std::move(text)) {}
  const char* name() override { return "bench.pnd"; }
  const char* directory() override { return "/"; }
  char readChar(bool& eof) override {
    eof = pos_ >= text_.size();
    return eof ? '\0' : text_[pos_++];
  }

 private:
  std::string text_;
  size_t pos_ = 0;
};

class NullPort : public scheme::OutputPort {
 public:
  void putChar(char16_t) override {}
  void putText(const char*) override {}
  void putUnits(const char16_t*, int32_t) override {}
};

class AbortHooks : public scheme::HostHooks {
 public:
  void onError() override { std::abort(); }
  bool writeForeign(scheme::OutputPort&, scheme::Value) override { return false; }
  bool displayForeign(scheme::OutputPort&, scheme::Value) override { return false; }
};

// Words bound to Scheme procedures: two date tests, a per-year list of
// dates, and a field.
const char kPrelude[] =
    "(define lucky (date 13 5 2011))\n"
    "(test-specifier (lambda (d) (eq? d lucky)) \"lucky-day\")\n"
    "(test-specifier (lambda (d) #f) \"never\")\n"
    "(set-specifier (lambda (y) (list (date 1 5 y) (date 11 11 y))) \"holiday\")\n"
    "(remind-field (lambda (scanned occurrence matched) 42) \"count\")\n";

// A deterministic mix of every specifier kind; about 52 report lines a day.
// With lookAhead, every entry instead looks 400 days ahead, and the words
// bound to Scheme give way to plain dates, except in one entry of twenty
// with schemeAhead: there the Scheme words are asked day by day ahead.
std::string generateFile(bool lookAhead = false, bool schemeAhead = false) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  static const char* const kWeekdays[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
  static const char* const kOrdinals[] = {"first", "second", "third", "fourth", "fifth", "last"};
  uint32_t seed = 12345;
  auto next = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  auto month = [&] { return kMonths[next(12)]; };
  auto weekday = [&] { return kWeekdays[next(7)]; };
  auto day = [&] { return std::to_string(1 + next(28)); };
  auto year = [&] { return std::to_string(2004 + next(11)); };

  std::string text = std::string("; generated for the scan benchmark\n") + kPrelude;
  for (int i = 0; i < kEntries; ++i) {
    std::string n = std::to_string(i);
    std::string entry;
    switch (i % 32) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
        entry = std::string(month()) + " " + day() + " remind [Plain " + n + "]";
        break;
      case 6:
      case 7:
        entry = day() + " " + month() + " " + year() + " remind [Once " + n + "]";
        break;
      case 8:
      case 9:
      case 10:
        entry = std::string(weekday()) + " remind [Weekly " + n + "]";
        break;
      case 11:
        entry = std::string(weekday()) + " " + month() + " remind [In a month " + n + "]";
        break;
      case 12:
      case 13:
        entry = std::string(kOrdinals[next(6)]) + " " + weekday() + " remind [Nth " + n + "]";
        break;
      case 14:
        entry = std::string(kOrdinals[next(6)]) + " " + weekday() + " " + month() +
                " remind [Nth in a month " + n + "]";
        break;
      case 15:
        entry = std::string("sat sun after ") + day() + " remind [Weekend " + n + "]";
        break;
      case 16:
        entry = std::string(weekday()) + " on or before " + month() + " " + day() +
                " remind [Offset " + n + "]";
        break;
      case 17:
        entry = std::string(weekday()) + " after dec " + std::to_string(20 + next(12)) +
                " remind [Offset " + n + "]";
        break;
      case 18:
        entry = std::string(month()) + " " + day() + " " + year() + " every " +
                std::to_string(2 + next(20)) + " days remind [Every " + n + "]";
        break;
      case 19:
        entry = std::string(month()) + " " + day() + " " + year() + " every 2 weeks until " +
                month() + " " + day() + " " + year() + " remind [Fortnight " + n + "]";
        break;
      case 20:
        entry = std::string(month()) + " " + day() + " every month for 6 months except " + month() +
                " " + day() + " remind [Monthly " + n + "]";
        break;
      case 21:
        entry = std::string(month()) + " " + day() + " " + year() +
                " every year for 5 years remind [Yearly " + n + "] remind [again]";
        break;
      case 22:
        entry = std::string(month()) + " " + day() + " and " + month() + " " + day() + " and " +
                weekday() + " " + month() + " remind [Any " + n + "]";
        break;
      case 23:
      case 24:
        entry = std::string(month()) + " " + day() + " previous " + std::to_string(1 + next(7)) +
                " days remind [Soon " + n + ": %(count)]";
        break;
      case 25:
        entry = std::string(month()) + " " + day() + " previous 2 weeks remind [Weeks " + n + "]";
        break;
      case 26:
        entry = "remind [Daily " + n + "]";
        break;
      case 27:
        // A few words bound to Scheme procedures, as a user would have.
        if (i < 128) {
          entry = std::string(i < 64 ? "lucky-day" : "never") + " remind [Scheme " + n + "]";
        } else {
          entry = std::string(month()) + " " + day() + " remind [Date " + n + "]";
        }
        break;
      case 28:
        if (i < 128) {
          entry = std::string("holiday") + (i < 64 ? "" : " previous 1 day") + " remind [Holiday " +
                  n + "]";
        } else {
          entry = std::string(month()) + " " + day() + " remind [Date " + n + "]";
        }
        break;
      default:
        entry = std::string(month()) + " " + day() + " remind [Date " + n + "]";
        break;
    }
    if (lookAhead) {
      size_t r = entry.find("remind [");
      std::string when = entry.substr(0, r);
      if (size_t p = when.find("previous"); p != std::string::npos) when.erase(p);
      if (when.find("lucky-day") == 0 || when.find("never") == 0 || when.find("holiday") == 0)
        when = std::string(month()) + " " + day() + " ";
      static const char* const kSchemeWords[] = {"lucky-day ", "never ", "holiday "};
      if (schemeAhead && i % 20 == 0) when = kSchemeWords[i / 20 % 3];
      entry = when + "previous 400 days " + entry.substr(r);
    }
    text += entry + ".\n";
  }
  return text;
}

std::string tempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/" + name;
}

// The whole run as pendcal does it, in a child process: engine start-up,
// reading the file, the scan, and the report (range 0) or the iCalendar
// object of -i (range 1) or the listing of -l (range 2) into a file. Reports the
// child's processor time, its peak resident memory and how much the run
// added to it. The generated file is left in $TMPDIR (or /tmp) as
// pendra_scan_bench.pnd.
void BM_WholeRun(benchmark::State& state) {
  static const engine::WriterFactory kWriters[] = {nullptr, engine::makeCalendarWriter,
                                                   engine::makeListingWriter};
  static const char* const kLabels[] = {"report", "iCalendar (-i)", "listing (-l)"};
  engine::WriterFactory writer = kWriters[state.range(0)];
  state.SetLabel(kLabels[state.range(0)]);
  std::string input = tempPath("pendra_scan_bench.pnd");
  std::string output = tempPath("pendra_scan_bench.out");
  std::ofstream(input) << generateFile();
  long peakKb = 0, grownKb = 0;
  double userSeconds = 0, systemSeconds = 0;
  for (auto _ : state) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) state.SkipWithError("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
      close(pipeFds[0]);
      struct rusage before, after;
      getrusage(RUSAGE_SELF, &before);
      if (std::freopen(output.c_str(), "w", stdout) == nullptr) _exit(2);
      engine::engineStartUp();
      std::FILE* file = std::fopen(input.c_str(), "r");
      if (file == nullptr) _exit(3);
      engine::createReader(input.c_str(), file);
      pendra::Date today = pendra::today();
      pendra::Date target = kTarget;
      target.weekday = pendra::weekdayOf(target.day, target.month, target.year);
      int status = engine::runReminders(today, target, kBefore, kAfter, writer);
      std::fflush(stdout);
      getrusage(RUSAGE_SELF, &after);
      long sizes[2] = {after.ru_maxrss, after.ru_maxrss - before.ru_maxrss};
      if (write(pipeFds[1], sizes, sizeof sizes) != sizeof sizes) _exit(4);
      _exit(status);
    }
    close(pipeFds[1]);
    long sizes[2] = {0, 0};
    if (read(pipeFds[0], sizes, sizeof sizes) != sizeof sizes) state.SkipWithError("no sizes");
    close(pipeFds[0]);
    int status = 0;
    struct rusage usage;
    wait4(pid, &status, 0, &usage);
    userSeconds += static_cast<double>(usage.ru_utime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    systemSeconds += static_cast<double>(usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("pendcal run failed");
    peakKb = std::max(peakKb, sizes[0]);
    grownKb = std::max(grownKb, sizes[1]);
  }
  long lines = 0, bytes = 0;
  if (std::FILE* f = std::fopen(output.c_str(), "r")) {
    char block[65536];
    for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0; bytes += static_cast<long>(n)) {
      for (size_t i = 0; i < n; ++i) lines += block[i] == '\n';
    }
    std::fclose(f);
  }
  // The child's own processor time, which other processes do not add to.
  state.counters["user_ms"] =
      benchmark::Counter(userSeconds * 1000, benchmark::Counter::kAvgIterations);
  state.counters["system_ms"] =
      benchmark::Counter(systemSeconds * 1000, benchmark::Counter::kAvgIterations);
  state.counters["report_lines"] = static_cast<double>(lines);
  state.counters["report_bytes"] = static_cast<double>(bytes);
  state.counters["peak_rss_kB"] = static_cast<double>(peakKb);
  state.counters["run_added_kB"] = static_cast<double>(grownKb);
  state.counters["per_day_entry"] = benchmark::Counter(
      static_cast<double>(kDays) * kEntries,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  // The input stays, for timing the real program on it.
  std::remove(output.c_str());
}
BENCHMARK(BM_WholeRun)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The days of the window with their weekdays.
std::vector<pendra::Date> windowDays() {
  std::vector<pendra::Date> days;
  int64_t first = kTarget.dayNumber() - kBefore;
  for (int32_t i = 0; i < kDays; ++i) days.push_back(pendra::Date::fromNumber(first + i));
  return days;
}

std::vector<std::unique_ptr<engine::Reminder>> readAll(scheme::Interpreter& in,
                                                       const std::string& text) {
  engine::ReminderReader reader(in, std::make_unique<StringSource>(text));
  std::vector<std::unique_ptr<engine::Reminder>> entries;
  while (auto entry = engine::readEntry(reader)) entries.push_back(std::move(entry));
  return entries;
}

// The scan's tests alone: every entry on every day, no output. Through the
// index the driver uses (range 1), or asking every entry (range 0); range 2
// goes through the index with every entry looking 400 days ahead, range 3
// the same with 5% of them words bound to Scheme.
void BM_ScanTests(benchmark::State& state) {
  bool indexed = state.range(0) != 0;
  bool lookAhead = state.range(0) >= 2;
  bool schemeAhead = state.range(0) == 3;
  state.SetLabel(schemeAhead ? "through the index, previous 400 days, 5% Scheme words"
                 : lookAhead ? "through the index, previous 400 days"
                 : indexed   ? "through the index"
                             : "match on every entry");
  NullPort port;
  AbortHooks hooks;
  scheme::Interpreter in(port, hooks);
  engine::useInterpreter(in);
  auto entries = readAll(in, generateFile(lookAhead, schemeAhead));
  if (entries.size() != kEntries) state.SkipWithError("entries missing");
  engine::ScanIndex index(entries);
  std::vector<pendra::Date> days = windowDays();
  int64_t matches = 0;
  for (auto _ : state) {
    for (const pendra::Date& d : days) {
      if (indexed) {
        index.forEachMatch(d, [&](const engine::Reminder&, const pendra::Date&) { ++matches; });
      } else {
        for (const auto& e : entries) matches += e->specifier->match(d);
      }
    }
  }
  state.counters["matches"] = static_cast<double>(matches / state.iterations());
  state.counters["per_day_entry"] = benchmark::Counter(
      static_cast<double>(kDays) * kEntries,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanTests)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// One specifier kind at a time, tested on each day of the window in turn.
const char* const kKinds[][2] = {
    {"plain date", "dec 25"},
    {"date with year", "dec 25 2012"},
    {"weekday", "friday"},
    {"empty (every day)", ""},
    {"nth weekday", "last fri"},
    {"nth weekday in a month", "first mon sep"},
    {"weekday after", "sat sun after 1"},
    {"weekday on or before", "mon on or before may 24"},
    {"every n days", "jan 15 2005 every 10 days"},
    {"every 2 weeks until", "jan 1 2005 every 2 weeks until jun 30 2014"},
    {"every month for, except", "mar 1 every month for 6 months except jun 1"},
    {"every year for", "jan 15 2005 every year for 3 years"},
    {"and (3 members)", "jan 1 and jul 4 and dec 25"},
    {"previous 7 days", "dec 25 previous 7 days"},
    {"previous 2 weeks", "jul 4 previous 2 weeks"},
    {"test procedure", "lucky-day"},
    {"set procedure", "holiday"},
};

void BM_SpecifierTest(benchmark::State& state) {
  const char* const* kind = kKinds[state.range(0)];
  state.SetLabel(kind[0]);
  NullPort port;
  AbortHooks hooks;
  scheme::Interpreter in(port, hooks);
  engine::useInterpreter(in);
  auto entries = readAll(in, std::string(kPrelude) + kind[1] + ".");
  if (entries.size() != 1) state.SkipWithError("not one entry");
  engine::Specifier& specifier = *entries.front()->specifier;
  std::vector<pendra::Date> days = windowDays();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(specifier.match(days[i]));
    if (++i == days.size()) i = 0;
  }
}
BENCHMARK(BM_SpecifierTest)->DenseRange(0, sizeof kKinds / sizeof kKinds[0] - 1);

// Entering a million distinct words into the keyword table, which must grow
// from its first 67 buckets.
void BM_KeywordMillion(benchmark::State& state) {
  std::vector<std::string> names;
  names.reserve(1000000);
  for (int i = 0; i < 1000000; ++i) names.push_back("word" + std::to_string(i));
  for (auto _ : state) {
    state.PauseTiming();
    engine::resetKeywordTable(scheme::Value::makeNumber(0));
    state.ResumeTiming();
    for (const std::string& n : names)
      benchmark::DoNotOptimize(engine::internKeyword(n.c_str(), n.size()));
  }
  state.SetItemsProcessed(1000000 * state.iterations());
}
BENCHMARK(BM_KeywordMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
