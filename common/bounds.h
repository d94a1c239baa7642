// Every fixed limit of the two programs' engine and interpreter, and the
// environment variables pendcal reads, each with why it is what it is.
// Header only: the interpreter links nothing but the standard library.
#ifndef PENDRA_COMMON_BOUNDS_H_
#define PENDRA_COMMON_BOUNDS_H_

#include <cstddef>
#include <cstdint>

namespace pendra {

// ---- Years ------------------------------------------------------------------

// A packed date word holds 16 bits of year: date arithmetic stays within
// these years, and no day past 31 December 65535 is scanned or listed.
constexpr uint32_t kFirstYear = 1;
constexpr uint32_t kLastYear = 65535;
// Years a reminder-file number or the date procedure may name: a number
// above 31 that is not in this range is a typing error, not a year.
constexpr uint32_t kFirstWrittenYear = 1800;
constexpr uint32_t kLastWrittenYear = 3000;
// An iCalendar date has four digits of year; events end before 10000.
constexpr uint32_t kLastCalendarYear = 9999;

// ---- The reminder file ------------------------------------------------------

// Entries held for the scan; the rest of the file is left unread.
constexpr int32_t kMaxEntries = 1024;
// Actions of one entry.
constexpr int32_t kMaxActions = 32;
// Longest field name in a remind text; a longer one is cut.
constexpr int32_t kMaxFieldName = 127;
// Longest word or bracketed string, in characters.
constexpr int32_t kMaxTokenText = 511;
// Most tokens an entry may have; a longer entry is an error.
constexpr int32_t kMaxEntryTokens = 256;
// The largest look-ahead, in days, of a specifier that calls Scheme: such a
// test is asked once for every day ahead, on every scanned day.
constexpr int32_t kMaxSchemeLookAhead = 3660;
// Includes open at once, not counting the main file: a deeper chain is
// taken for a runaway one before it reaches the system's file limit.
constexpr int32_t kMaxIncludeDepth = 64;
// Longest path the include search builds.
constexpr size_t kMaxIncludePath = 1023;

// ---- The interpreter ----------------------------------------------------------

// Arguments of one call: argument arrays of apply and vector calls live on
// the native stack.
constexpr int32_t kMaxArguments = 127;
// Variables of one let, let* or letrec.
constexpr int32_t kMaxLetVariables = 128;
// Longest symbol name.
constexpr int32_t kMaxNameLength = 127;
// Longest vector or string a procedure will build, so that an absurd length
// is reported before any allocation is tried.
constexpr int32_t kMaxVectorLength = 1 << 24;
constexpr int32_t kMaxStringLength = 1 << 24;
// Lists, vectors and quotes open at once in the reader; deeper input is
// refused so that nothing downstream meets unbounded nesting.
constexpr size_t kMaxReadNesting = 10000;
// Nesting equal? follows over cars and vector items before it reports an
// error, so a deep or car-circular structure ends in a report.
constexpr size_t kMaxEqualDepth = 10000;
// Nesting the printer shows; deeper elements print as "...". Equal to the
// reader's, so every datum it returns prints whole.
constexpr int32_t kMaxPrintDepth = 10000;
// The heap the interpreter may take from the system unless PENDCAL_HEAP_MB
// says otherwise: a runaway text ends with a report instead of swapping.
constexpr size_t kDefaultHeapBytes = size_t{1} << 30;

// ---- Environment ----------------------------------------------------------------

// Read by engine/settings.cc: the heap limit in MiB, a whole number up to
// the machine's memory.
constexpr char kHeapEnv[] = "PENDCAL_HEAP_MB";
// Read by engine/settings.cc: a fixed DTSTAMP for -i, the reproducible
// builds' convention.
constexpr char kStampEnv[] = "SOURCE_DATE_EPOCH";
// The profile places (USERPROFILE; HOME and XDG_CONFIG_HOME on POSIX) are
// read by engine/platform-*.cc, beside the search they serve.

}  // namespace pendra

#endif  // PENDRA_COMMON_BOUNDS_H_
