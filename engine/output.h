// pendcal's standard output: one buffered port that everything printed for
// people goes through, and the check at the end that every byte written
// reached its stream.
#ifndef PENDRA_ENGINE_OUTPUT_H_
#define PENDRA_ENGINE_OUTPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "scheme/host.h"

namespace scheme {
class Interpreter;
}

namespace engine {

// Writes count bytes to file; remembers the reason of the first write that
// fails, for finishOutput. Returns whether all were written.
bool writeBytes(std::FILE* file, const char* bytes, size_t count);

// Output through a buffer of our own: the report can run to hundreds of
// thousands of lines, and everything printed (reports, Scheme output, error
// reports) must stay in order on the one stream.
class StdoutPort final : public scheme::OutputPort {
 public:
  explicit StdoutPort(std::FILE* file) : file_(file) {}

  void putChar(char16_t c) override {
    if (capturing()) {
      capture_->push_back(static_cast<char>(c));
      return;
    }
    if (used_ == kSize) flush();
    buffer_[used_++] = static_cast<char>(c);
  }
  void putText(const char* text) override;
  void putUnits(const char16_t* units, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) putChar(units[i]);
  }

  void write(const char* bytes, size_t count);
  // Hands the buffer to the stream, so that direct writes to it come after.
  void flush();
  std::FILE* file() const { return file_; }
  // Flushes, then writes to file from now on.
  void setFile(std::FILE* file) {
    flush();
    file_ = file;
  }
  // Flushes; when what went to standard error ends inside a line and out is
  // standard error, ends that line, so that a message printed next starts
  // a line of its own.
  void endLineBefore(std::FILE* out);
  // From now on in's error reports go to *report instead (-k), so that
  // they can be placed and told apart from the output before them.
  void captureReports(std::string* report, const scheme::Interpreter* in) {
    capture_ = report;
    in_ = in;
  }

 private:
  bool capturing() const;

  std::string* capture_ = nullptr;
  const scheme::Interpreter* in_ = nullptr;
  bool midLine_ = false;  // the last byte handed to standard error was not a line end
  static constexpr size_t kSize = 1 << 16;
  std::FILE* file_;
  size_t used_ = 0;
  char buffer_[kSize];
};

// Collects what is printed in a string, as StdoutPort would write it: the
// low byte of each unit. The writers use it for an action's text.
class StringPort final : public scheme::OutputPort {
 public:
  void putChar(char16_t c) override { text.push_back(static_cast<char>(c)); }
  void putText(const char* t) override { text.append(t); }
  void putUnits(const char16_t* units, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) putChar(units[i]);
  }

  std::string text;
};

// The end of every run that gets that far: flushes and closes standard
// output. When any write to it failed, prints "pendcal: cannot write
// output: REASON" on standard error and returns 1; else returns status.
int finishOutput(int status);

}  // namespace engine

#endif  // PENDRA_ENGINE_OUTPUT_H_
