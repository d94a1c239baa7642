// The Scheme reader and evaluator alone: every datum of the input read and
// evaluated at top level, as the reminder reader hands them over.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "scheme/interpreter.h"
#include "scheme/reader.h"
#include "tests/fuzz/fuzz_session.h"

namespace {

// The input's bytes as characters, lines counted as the engine counts them.
class ByteSource : public scheme::CharSource {
 public:
  ByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  char16_t next(bool& end) override {
    end = pos_ >= size_;
    if (end) return 0;
    char16_t c = data_[pos_++];
    if (c == '\n' && line_ < INT32_MAX) ++line_;
    return c;
  }
  void pushBack(char16_t c) override {
    --pos_;
    if (c == '\n') --line_;
  }
  const char16_t* name() override { return u"fuzz"; }
  int32_t line() override { return line_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  int32_t line_ = 1;
};

// Errors end the input: the interpreter is not meant to go on after one.
class ThrowingHooks : public scheme::HostHooks {
 public:
  void onError() override { throw engine_test::SchemeError(); }
  bool writeForeign(scheme::OutputPort&, scheme::Value) override { return false; }
  bool displayForeign(scheme::OutputPort&, scheme::Value) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::NullPort out;
  ThrowingHooks hooks;
  scheme::Interpreter in(out, hooks);
  in.setCallLimit(fuzz::kCallLimit);
  in.setHeapLimit(fuzz::kHeapLimit);
  ByteSource source(data, size);
  std::deque<scheme::SourceTable> tables;  // closures refer to them
  try {
    for (;;) {
      scheme::SourceTable& table = tables.emplace_back();
      table.fileName = source.name();
      scheme::Value datum = scheme::read(in, source, &table);
      if (datum == in.eof()) break;
      in.evalTopLevel(datum, &table);
    }
  } catch (const engine_test::SchemeError&) {
  }
  return 0;
}
