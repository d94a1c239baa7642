// The date-specifier grammar: the tokens at the start of an entry (and after
// each "and") into one Specifier.
//
//   specifier  = procedure-name
//              | [ordinal weekday] date-part [repetition]
//              | weekday {weekday} ["on" "or"] ("before" | "after") date-part [repetition]
//   date-part  = {number | weekday | month}, each of day, weekday, month, year once
//   repetition = "every" [number] unit ["until" date-part | "for" number unit]
//                {"except" date-part}
//
// Errors are raised (not fatal) at the token where the problem was found, or
// at the entry's last token when that one lies past the end.
#ifndef PENDRA_ENGINE_GRAMMAR_H_
#define PENDRA_ENGINE_GRAMMAR_H_

#include <cstdint>
#include <memory>
#include <string>

#include "common/date.h"
#include "engine/reminder_reader.h"
#include "engine/specifier.h"

namespace scheme {
class Interpreter;
}

namespace engine {

// Parses one specifier from tokens[index]; *out receives it. Returns the
// index of the first token not used (may equal the count). Procedures bound
// to words are called through in.
int32_t parseSpecifier(scheme::Interpreter& in, const TokenList& tokens, int32_t index,
                       std::unique_ptr<Specifier>* out);

// Raises message (not fatal) at tokens[index], or at the last token when
// index is past the end. The grammar and the entry parser report through it.
[[noreturn]] void raiseAtToken(const TokenList& tokens, int32_t index, const char* message);

// A token as an error names it: a word, a number, or "[text]" cut short.
std::string tokenText(const Token& t);
// What is likely wrong when an error stops at tokens[index], as " (hint)"
// parts: a period missing after the entry's last action, what skipping to
// the period swallowed, the keyword a misspelt word may stand for.
std::string errorHints(const TokenList& tokens, int32_t index);

// Fills pattern (all fields 0 on entry) from a date part starting at index.
// Returns the index of the first token not used.
int32_t parseDatePart(const TokenList& tokens, int32_t index, pendra::Date* pattern);

}  // namespace engine

#endif  // PENDRA_ENGINE_GRAMMAR_H_
