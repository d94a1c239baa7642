// The interpreter's speed: small programs (time and arena bytes per
// procedure call), the reader (bytes per second) and the cost of a pair.
// Every figure is a counter, so --benchmark_format=json or csv gives them to
// a script. The programs use +, -, < and = from the standard procedures,
// looked up by name when they run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "scheme/host.h"
#include "scheme/interpreter.h"
#include "scheme/printer.h"
#include "scheme/reader.h"

namespace {

using scheme::Value;

class NullOutput : public scheme::OutputPort {
 public:
  void putChar(char16_t c) override { text_.push_back(static_cast<char>(c)); }
  void putText(const char* text) override { text_ += text; }
  void putUnits(const char16_t* units, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) putChar(units[i]);
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// An error ends the benchmark run with the report.
class AbortHooks : public scheme::HostHooks {
 public:
  explicit AbortHooks(NullOutput& out) : out_(out) {}
  void onError() override {
    std::fprintf(stderr, "%s", out_.text().c_str());
    std::exit(1);
  }
  bool writeForeign(scheme::OutputPort&, Value) override { return false; }
  bool displayForeign(scheme::OutputPort&, Value) override { return false; }

 private:
  NullOutput& out_;
};

class TextSource : public scheme::CharSource {
 public:
  explicit TextSource(const std::string& text) : text_(text) {}
  char16_t next(bool& end) override {
    end = pos_ >= text_.size();
    if (end) return 0;
    char c = text_[pos_++];
    if (c == '\n') ++line_;
    return static_cast<unsigned char>(c);
  }
  void pushBack(char16_t c) override {
    --pos_;
    if (c == '\n') --line_;
  }
  const char16_t* name() override { return u"bench"; }
  int32_t line() override { return line_; }

 private:
  std::string text_;
  size_t pos_ = 0;
  int32_t line_ = 1;
};

struct Scheme {
  NullOutput out;
  AbortHooks hooks{out};
  scheme::Interpreter in{out, hooks};

  Value run(const std::string& text) {
    TextSource source(text + "\n");
    scheme::SourceTable table;
    Value last = in.unspecified();
    for (;;) {
      Value datum = scheme::read(in, source, &table);
      if (datum == in.eof()) return last;
      last = in.evalTopLevel(datum, &table);
    }
  }
};

// Runs call in a fresh interpreter per iteration after setup (untimed);
// calls is the number of procedure calls one run makes.
void RunProgram(benchmark::State& state, const char* setup, const char* call, double calls,
                const char* expected) {
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Scheme>();
    s->run(setup);
    size_t before = s->in.bytesAllocated();
    state.ResumeTiming();
    Value v = s->run(call);
    state.PauseTiming();
    bytes += static_cast<double>(s->in.bytesAllocated() - before);
    NullOutput written;
    scheme::write(s->in, written, v);
    if (written.text() != expected) state.SkipWithError(("got " + written.text()).c_str());
    s.reset();
    state.ResumeTiming();
  }
  double totalCalls = calls * static_cast<double>(state.iterations());
  state.counters["calls"] = calls;
  state.counters["time_per_call"] =
      benchmark::Counter(totalCalls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["bytes_per_call"] = bytes / totalCalls;
}

// Each program's figures: time per procedure call, and arena bytes kept per
// call (taken from the system and not reusable when the run ends).
void BM_Fib25(benchmark::State& state) {
  // fib(n) makes 2 * fib(n + 1) - 1 calls: 242785 for 25.
  RunProgram(state, "(define (fib n) (if (< n 2) n (+ (fib (- n 1)) (fib (- n 2)))))", "(fib 25)",
             242785, "75025");
}
BENCHMARK(BM_Fib25)->Unit(benchmark::kMillisecond);

void BM_Tak18_12_6(benchmark::State& state) {
  // 63609 calls of tak.
  RunProgram(state,
             "(define (tak x y z) (if (not (< y x)) z"
             "  (tak (tak (- x 1) y z) (tak (- y 1) z x) (tak (- z 1) x y))))",
             "(tak 18 12 6)", 63609, "7");
}
BENCHMARK(BM_Tak18_12_6)->Unit(benchmark::kMillisecond);

const char kTailLoop[] = "(define (loop n acc) (if (= n 0) acc (loop (- n 1) (+ acc 1))))";

void BM_TailLoop3M(benchmark::State& state) {
  RunProgram(state, kTailLoop, "(loop 3000000 0)", 3000001, "3000000");
}
BENCHMARK(BM_TailLoop3M)->Unit(benchmark::kMillisecond)->Iterations(3);

// Seconds per run: run it alone with --benchmark_filter=100M.
void BM_TailLoop100M(benchmark::State& state) {
  RunProgram(state, kTailLoop, "(loop 100000000 0)", 100000001, "100000000");
}
BENCHMARK(BM_TailLoop100M)->Unit(benchmark::kMillisecond)->Iterations(1);

// Keeps a pair per call, as it must: the list is its result.
void BM_ConsingLoop1M(benchmark::State& state) {
  RunProgram(state, "(define (build n acc) (if (= n 0) (length acc) (build (- n 1) (cons n acc))))",
             "(build 1000000 '())", 1000001, "1000000");
}
BENCHMARK(BM_ConsingLoop1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// Makes a closure per call and drops the one before: each call's frame is
// kept all the same, since a closure made in it may refer to it.
void BM_ClosureLoop1M(benchmark::State& state) {
  RunProgram(state, "(define (mk n f) (if (= n 0) (f) (mk (- n 1) (lambda () n))))",
             "(mk 1000000 (lambda () 0))", 1000001, "1");
}
BENCHMARK(BM_ClosureLoop1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LetrecEvenOdd(benchmark::State& state) {
  RunProgram(state, "",
             "(letrec ((even? (lambda (n) (if (= n 0) #t (odd? (- n 1)))))"
             "         (odd? (lambda (n) (if (= n 0) #f (even? (- n 1))))))"
             "  (even? 1000000))",
             1000001, "#t");
}
BENCHMARK(BM_LetrecEvenOdd)->Unit(benchmark::kMillisecond);

// A datum of about a megabyte mixing lists, symbols, numbers and strings.
std::string LargeDatum() {
  std::string text = "(";
  for (int i = 0; text.size() < (1u << 20); ++i) {
    text += "(entry-" + std::to_string(i % 500) + " " + std::to_string(i * 7919) + " \"text " +
            std::to_string(i) + "\" (a b . c) #(1 2 3) 'q) ; note\n";
  }
  return text + ")";
}

void BM_ReadLargeDatum(benchmark::State& state) {
  const std::string text = LargeDatum();
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Scheme>();
    TextSource source(text);
    scheme::SourceTable table;
    state.ResumeTiming();
    benchmark::DoNotOptimize(scheme::read(s->in, source, &table));
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
}
BENCHMARK(BM_ReadLargeDatum)->Unit(benchmark::kMillisecond);

// Arena bytes per pair of a list literal of a million numbers.
void BM_BytesPerPair(benchmark::State& state) {
  std::string text = "(";
  for (int i = 0; i < 1000000; ++i) text += "1 ";
  text += ")";
  double perPair = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Scheme>();
    TextSource source(text);
    size_t before = s->in.bytesAllocated();
    state.ResumeTiming();
    benchmark::DoNotOptimize(scheme::read(s->in, source, nullptr));
    state.PauseTiming();
    perPair = static_cast<double>(s->in.bytesAllocated() - before) / 1000000.0;
    s.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_pair"] = perPair;
  state.SetItemsProcessed(1000000 * state.iterations());
}
BENCHMARK(BM_BytesPerPair)->Unit(benchmark::kMillisecond);

// Writing a list of a million numbers, and one of a million one-element
// lists: the printer's cost per pair, with its check for structure met again
// inside itself.
void BM_WriteMillion(benchmark::State& state) {
  std::string text = "'(";
  for (int i = 0; i < 1000000; ++i) text += state.range(0) == 0 ? "7 " : "(7) ";
  text += ")";
  Scheme s;
  Value list = s.run(text);
  for (auto _ : state) {
    NullOutput out;
    scheme::write(s.in, out, list);
    benchmark::DoNotOptimize(out.text().size());
  }
  state.SetItemsProcessed(1000000 * state.iterations());
}
BENCHMARK(BM_WriteMillion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Interning a million distinct names into a fresh symbol table, which must
// grow from its first 67 buckets.
void BM_InternMillion(benchmark::State& state) {
  std::vector<std::u16string> names;
  names.reserve(1000000);
  for (int i = 0; i < 1000000; ++i) {
    std::string n = "name" + std::to_string(i);
    names.emplace_back(n.begin(), n.end());
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Scheme>();
    state.ResumeTiming();
    for (const std::u16string& n : names)
      benchmark::DoNotOptimize(s->in.intern(static_cast<int32_t>(n.size()), n.data()));
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(1000000 * state.iterations());
}
BENCHMARK(BM_InternMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
