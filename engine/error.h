// Reminder-file errors: raised by value by the reader and the parsers,
// caught only by the driver's per-entry loop, printed as
// "file(line): error: message" or "file(line): fatal error: message".
#ifndef PENDRA_ENGINE_ERROR_H_
#define PENDRA_ENGINE_ERROR_H_

#include <cstdint>
#include <cstdio>

namespace engine {

// Intentionally copyable: thrown by value.
struct PDErrorType {
  const char* message;   // one of the fixed texts
  const char* fileName;  // the input the offending token came from; may be null; not owned
  int32_t line;
  int32_t fatal;  // 1 when reading cannot go on
};

// Stores the last error and throws a copy of it.
[[noreturn]] void raiseError(const char* message, const char* fileName, int32_t line,
                             int32_t fatal);
// Prints the last error on out. Returns true when it was fatal.
bool reportError(std::FILE* out = stdout);

}  // namespace engine

#endif  // PENDRA_ENGINE_ERROR_H_
