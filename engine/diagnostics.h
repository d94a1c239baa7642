// Help for whoever fixes a reminder file, asked for with -k: pendcal keeps
// going after Scheme errors, names the word each error stopped at, says what
// is likely wrong, warns about what it would otherwise pass over in silence,
// and counts every problem it reports for the exit status.
//
// Without -k nothing here prints or changes what is printed.
#ifndef PENDRA_ENGINE_DIAGNOSTICS_H_
#define PENDRA_ENGINE_DIAGNOSTICS_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace engine {

bool keepGoing();
void setKeepGoing(bool on);

// Thrown by the engine's onError with -k, once the Scheme error report is
// complete; caught where the run can go on (between entries, and per entry
// in the scan), which report it with its place.
struct SchemeAbort {};

// Errors and warnings reported so far.
int problemsReported();
void countProblem();

// Where messages go (standard error with -k). flush, when given, runs
// before each message, so that output buffered for the same stream stays in
// order with it.
void setMessageStream(std::FILE* out, void (*flush)());
std::FILE* messageStream();
void flushBeforeMessage();

// "FILE(LINE): warning: TEXT", or "warning: TEXT" without a file; counted.
void warn(const char* file, int32_t line, const std::string& text);

// The word a misspelt one was likely meant to be, or "" when none stands
// out. A month or weekday name written in full, longer, or cut after its
// first three letters gives its three-letter keyword ("sept" -> "sep");
// otherwise the one keyword closest to the word within two edits (letters
// changed, added, dropped or swapped), when just one is that close.
// Reminder-file words are measured against every built-in word of the
// language; command-line words (monthsOnly) against the month names.
std::string suggestKeyword(const char* word, bool monthsOnly = false);
// " (did you mean "WORD"?)", or "" when suggestKeyword has nothing.
std::string suggestionHint(const char* word, bool monthsOnly = false);

// Letters changed, added, dropped or swapped with a neighbour to turn a
// into b, ignoring ASCII case.
int editDistance(const std::string& a, const std::string& b);

}  // namespace engine

#endif  // PENDRA_ENGINE_DIAGNOSTICS_H_
