// The words of the reminder language: a case-insensitive table of Keyword
// entries, each with a flags word that says how the grammar uses it and a
// Scheme value slot for the procedures bound to new words.
//
// The table only grows; entries are never freed while the engine runs. It
// is separate from the interpreter's symbol table: a reminder word is never
// looked up as a Scheme symbol.
#ifndef PENDRA_ENGINE_KEYWORD_TABLE_H_
#define PENDRA_ENGINE_KEYWORD_TABLE_H_

#include <cstddef>
#include <cstdint>

#include "scheme/value.h"

namespace engine {

// Keyword flags: one class bit, the class's value in the low 16 bits.
//   WeekdayFlag        weekday 1..7 (1 = Sunday)
//   MonthFlag          month 1..12
//   ActionFlag         action kind; 0 = remind
//   OrdinalFlag        1..5 for first..fifth, 6 for last
//   DayUnitFlag        unit length in days (1, 7); may follow "previous"
//   UnitFlag           step of "every" and "for": days (1, 7), 0xfffe month,
//                      0xffff year
//   SpecifierProcFlag  0: the value is a date predicate; 1: it returns the
//                      list of a year's dates
//   FieldProcFlag      the value fills a %(name) field of a remind text
// Flags 0: an ordinary word (the grammar words among them).
constexpr uint32_t WeekdayFlag = 0x80000000u;
constexpr uint32_t MonthFlag = 0x40000000u;
constexpr uint32_t ActionFlag = 0x20000000u;
constexpr uint32_t OrdinalFlag = 0x10000000u;
constexpr uint32_t DayUnitFlag = 0x08000000u;
constexpr uint32_t UnitFlag = 0x04000000u;
constexpr uint32_t SpecifierProcFlag = 0x02000000u;
constexpr uint32_t FieldProcFlag = 0x01000000u;

constexpr uint32_t kFlagValueMask = 0xffffu;
constexpr uint32_t kMonthUnit = 0xfffeu;
constexpr uint32_t kYearUnit = 0xffffu;
constexpr uint32_t kRemindAction = 0;

inline uint32_t flagValue(uint32_t flags) { return flags & kFlagValueMask; }

// One distinct word; the name keeps the spelling first entered.
struct Keyword {
  Keyword(const char* text, size_t length, scheme::Value initial, Keyword* link);
  ~Keyword() { delete[] name; }
  Keyword(const Keyword&) = delete;
  Keyword& operator=(const Keyword&) = delete;

  char* name;           // owned, NUL-terminated
  uint32_t flags;       // keyword flags above
  scheme::Value value;  // bound procedure; the unspecified value until bound
  Keyword* next;        // next entry of the same bucket

  bool has(uint32_t flag) const { return (flags & flag) != 0; }
};

// A row of the built-in word list.
struct KeywordRow {
  const char* word;
  uint32_t flags;
};

// The 52 built-in words with their flags, in the order they are entered.
extern const KeywordRow kBuiltinKeywords[52];

// The grammar words, recognised by the identity of their entries.
enum class GrammarWord { On, Or, Before, After, Previous, And, Every, Until, For, Except };
constexpr int kGrammarWordCount = 10;

// The table's first size; it doubles whenever it holds more entries than
// buckets.
constexpr int kKeywordBuckets = 67;

// Empties the table (freeing every entry), then enters the built-in words
// and the grammar words. New entries get unspecified as their value, so
// this runs after the interpreter exists.
void resetKeywordTable(scheme::Value unspecified);

// The entry named name, ignoring ASCII case; a new plain entry (flags 0,
// value unspecified) when there is none. REQUIRES: resetKeywordTable ran.
Keyword* internKeyword(const char* name);
Keyword* internKeyword(const char* name, size_t length);

// The entry remembered for a grammar word.
Keyword* grammarKeyword(GrammarWord word);

// Hash of a name: h = h * 31 + byte over the case-folded bytes (as signed
// chars), 32-bit wrapping. Its bucket is the hash modulo the table's size.
uint32_t keywordHash(const char* name, size_t length);
// Bucket 0..66 of a name in the table's first size.
uint32_t keywordBucket(const char* name, size_t length);

}  // namespace engine

#endif  // PENDRA_ENGINE_KEYWORD_TABLE_H_
