// What the fuzzing harnesses share: a fresh interpreter per input whose
// errors are thrown out of the run, whose output is counted and dropped,
// and whose running time and heap are bounded.
#ifndef PENDRA_TESTS_FUZZ_FUZZ_SESSION_H_
#define PENDRA_TESTS_FUZZ_FUZZ_SESSION_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/reminder.h"
#include "engine/reminder_reader.h"
#include "scheme/interpreter.h"
#include "tests/engine/engine_test.h"

namespace fuzz {

// Enough for any sensible reminder file; an endless loop stops here.
constexpr uint64_t kCallLimit = 200000;
// Far below the fuzzer's RSS limit, so a runaway allocation is an
// "Out of memory" report and not a finding.
constexpr size_t kHeapLimit = size_t{256} << 20;

class NullPort : public scheme::OutputPort {
 public:
  void putChar(char16_t) override { ++count_; }
  void putText(const char* text) override {
    while (*text++ != '\0') ++count_;
  }
  void putUnits(const char16_t*, int32_t count) override { count_ += static_cast<size_t>(count); }

 private:
  size_t count_ = 0;
};

// A reminder file read as pendcal reads it, with include turned off: it
// would reach the file system.
class Session {
 public:
  explicit Session(const uint8_t* data, size_t size);
  ~Session();
  scheme::Interpreter& in() { return *in_; }
  // Reads entries as the driver does: up to 1024, an entry in error
  // skipped, a fatal error ending the reading. Throws engine_test::SchemeError.
  void readEntries();
  std::vector<std::unique_ptr<engine::Reminder>>& entries() { return entries_; }

 private:
  NullPort out_;
  engine_test::TestHooks hooks_;
  std::unique_ptr<scheme::Interpreter> in_;
  std::unique_ptr<engine::ReminderReader> reader_;
  std::vector<std::unique_ptr<engine::Reminder>> entries_;
};

// A real day with its weekday, from its day number.
pendra::Date dayOf(int64_t number);

}  // namespace fuzz

#endif  // PENDRA_TESTS_FUZZ_FUZZ_SESSION_H_
