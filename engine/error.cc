#include "engine/error.h"

namespace engine {

namespace {
PDErrorType gLastError = {"", nullptr, 0, 0};
}  // namespace

void raiseError(const char* message, const char* fileName, int32_t line, int32_t fatal) {
  gLastError = PDErrorType{message, fileName, line, fatal};
  throw gLastError;
}

bool reportError(std::FILE* out) {
  const PDErrorType& e = gLastError;
  if (e.fileName != nullptr) std::fprintf(out, "%s(%d): ", e.fileName, static_cast<int>(e.line));
  std::fprintf(out, e.fatal ? "fatal error: %s\n" : "error: %s\n", e.message);
  return e.fatal != 0;
}

}  // namespace engine
