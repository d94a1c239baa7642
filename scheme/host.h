// The interfaces through which a host feeds text to the interpreter and
// receives its output. The interpreter implements none of them.
#ifndef PENDRA_SCHEME_HOST_H_
#define PENDRA_SCHEME_HOST_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "scheme/value.h"

namespace scheme {

// Characters for the reader. The reader pushes back at most one character
// between two calls of next.
class CharSource {
 public:
  // The next character; at the end sets end and returns a meaningless code.
  virtual char16_t next(bool& end) = 0;
  // The next call of next returns c again.
  virtual void pushBack(char16_t c) = 0;
  // The source's name, NUL-terminated; valid as long as the source.
  virtual const char16_t* name() = 0;
  // The current line as counted by the source, from 1.
  virtual int32_t line() = 0;
  virtual ~CharSource() = default;
};

// Where the interpreter prints.
class OutputPort {
 public:
  virtual void putChar(char16_t c) = 0;
  virtual void putText(const char* text) = 0;  // NUL-terminated 8-bit text
  virtual void putUnits(const char16_t* units, int32_t count) = 0;
  virtual ~OutputPort() = default;
};

// The host's part in error handling and printing.
class HostHooks {
 public:
  // Called after an error report has been printed. Must not return: end the
  // process, or (in tests) throw.
  virtual void onError() = 0;
  // Print a value the printer has no form for (host immediates); return
  // false to decline.
  virtual bool writeForeign(OutputPort& port, Value v) = 0;
  virtual bool displayForeign(OutputPort& port, Value v) = 0;
  virtual ~HostHooks() = default;
};

// The lines on which the lists of one read started, for error reports.
// Intentionally copyable: a closure keeps its own copy. Entries are only
// ever appended.
struct SourceTable {
  struct Entry {
    int32_t line;
    Value datum;
  };
  std::u16string fileName;
  std::vector<Entry> entries;

  void add(int32_t line, Value datum) { entries.push_back({line, datum}); }
  // The line recorded first for this very datum, or 0 when there is none.
  int32_t lineOf(Value datum) const {
    int32_t line = 0;
    findLine(datum, &line);
    return line;
  }
  // Sets *line to the line recorded first for this very datum; false when
  // there is none. A lookup in an index that catches up with the entries
  // added since the last call.
  bool findLine(Value datum, int32_t* line) const {
    if (!datum.isObject()) {
      for (const Entry& e : entries) {
        if (e.datum == datum) {
          *line = e.line;
          return true;
        }
      }
      return false;
    }
    for (; indexed_ < entries.size(); ++indexed_) {
      const Entry& e = entries[indexed_];
      if (e.datum.isObject()) index_.emplace(e.datum.object(), e.line);  // the first stays
    }
    auto it = index_.find(datum.object());
    if (it == index_.end()) return false;
    *line = it->second;
    return true;
  }

  // The index of findLine: object datums of entries[0, indexed_) to lines.
  mutable std::unordered_map<const Object*, int32_t> index_;
  mutable size_t indexed_ = 0;
};

}  // namespace scheme

#endif  // PENDRA_SCHEME_HOST_H_
