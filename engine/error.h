// Reminder-file errors: raised by value by the reader and the parsers,
// caught only by the driver's per-entry loop, printed as
// "file(line): error: message" or "file(line): fatal error: message".
#ifndef PENDRA_ENGINE_ERROR_H_
#define PENDRA_ENGINE_ERROR_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace engine {

// Intentionally copyable: thrown by value.
struct PDErrorType {
  const char* message;   // one of the fixed texts
  const char* fileName;  // the input the offending token came from; may be null; not owned
  int32_t line;
  int32_t fatal;  // 1 when reading cannot go on
  // With -k: the word the error stopped at, and what is likely wrong, as
  // " (hint)" parts; null when there is none. Held by raiseError.
  const char* word = nullptr;
  const char* hint = nullptr;
};

// Stores the last error and throws a copy of it.
[[noreturn]] void raiseError(const char* message, const char* fileName, int32_t line,
                             int32_t fatal);
// The same, naming the word at fault and carrying hints (shown with -k).
[[noreturn]] void raiseError(const char* message, const char* fileName, int32_t line, int32_t fatal,
                             const std::string& word, const std::string& hint);
// Prints the last error on out, with its word and hints under -k, and
// counts it. Returns true when it was fatal.
bool reportError(std::FILE* out = stdout);

}  // namespace engine

#endif  // PENDRA_ENGINE_ERROR_H_
