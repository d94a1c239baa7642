#include "engine/error.h"

#include "engine/diagnostics.h"

namespace engine {

namespace {
PDErrorType gLastError = {"", nullptr, 0, 0};
std::string gWord;
std::string gHint;
}  // namespace

void raiseError(const char* message, const char* fileName, int32_t line, int32_t fatal,
                const std::string& word, const std::string& hint) {
  gWord = word;
  gHint = hint;
  gLastError = PDErrorType{message, fileName, line, fatal, nullptr, nullptr};
  if (!gWord.empty()) gLastError.word = gWord.c_str();
  if (!gHint.empty()) gLastError.hint = gHint.c_str();
  throw gLastError;
}

void raiseError(const char* message, const char* fileName, int32_t line, int32_t fatal) {
  gLastError = PDErrorType{message, fileName, line, fatal};
  throw gLastError;
}

bool reportError(std::FILE* out) {
  const PDErrorType& e = gLastError;
  if (e.fileName != nullptr) std::fprintf(out, "%s(%d): ", e.fileName, static_cast<int>(e.line));
  std::fprintf(out, e.fatal ? "fatal error: %s" : "error: %s", e.message);
  if (keepGoing()) {
    if (e.word != nullptr) std::fprintf(out, ": \"%s\"", e.word);
    if (e.hint != nullptr) std::fputs(e.hint, out);
  }
  std::fputc('\n', out);
  countProblem();
  return e.fatal != 0;
}

}  // namespace engine
