#include "engine/grammar.h"

#include <algorithm>
#include <string>

#include "common/bounds.h"
#include "engine/diagnostics.h"
#include "engine/error.h"
#include "engine/keyword_table.h"

namespace engine {

namespace {

[[noreturn]] void fail(const TokenList& tokens, int32_t index, const char* message) {
  raiseAtToken(tokens, index, message);
}

bool isNumber(const TokenList& tokens, int32_t i) {
  return i < tokens.count() && tokens[i].kind == TokenKind::Number;
}
bool hasFlag(const TokenList& tokens, int32_t i, uint32_t flag) {
  return i < tokens.count() && tokens[i].hasFlag(flag);
}
bool isWord(const TokenList& tokens, int32_t i, GrammarWord word) {
  return i < tokens.count() && tokens[i].isWord(word);
}

}  // namespace

// The one place that works out where an error is reported.
void raiseAtToken(const TokenList& tokens, int32_t index, const char* message) {
  if (tokens.count() == 0) raiseError(message, nullptr, 0, 0);
  const bool past = index >= tokens.count();
  const Token& t = tokens[past ? tokens.count() - 1 : index];
  if (!keepGoing()) raiseError(message, t.file, t.line, 0);
  raiseError(message, t.file, t.line, 0, past ? std::string(".") : tokenText(t),
             errorHints(tokens, index));
}

std::string tokenText(const Token& t) {
  switch (t.kind) {
    case TokenKind::Word:
      return t.keyword->name;
    case TokenKind::Number:
      return std::to_string(t.number);
    case TokenKind::String: {
      // The start of the text is enough to find it.
      std::string text = t.text;
      size_t cut = std::min(text.find_first_of("\r\n"), size_t{30});
      if (cut < text.size()) text = text.substr(0, cut) + "...";
      return "[" + text + "]";
    }
    default:
      return "";
  }
}

std::string errorHints(const TokenList& tokens, int32_t index) {
  if (index >= tokens.count()) return "";
  const Token& t = tokens[index];
  std::string hints;
  // Tokens that go on past a complete action onto a later line: the entry
  // most likely lacks its period there.
  bool afterAction = index >= 2 && tokens[index - 1].kind == TokenKind::String &&
                     tokens[index - 2].hasFlag(ActionFlag);
  if (afterAction && t.line > tokens[index - 1].endLine) {
    hints += " (is a \".\" missing at the end of line " +
             std::to_string(tokens[index - 1].endLine) + "?)";
  } else if (tokens.endLine > t.line) {
    hints += " (skipped to the \".\" on line " + std::to_string(tokens.endLine) +
             ": a \".\" may be missing on line " + std::to_string(t.line) + ")";
  }
  bool known = t.kind != TokenKind::Word || t.keyword->flags != 0;
  for (int i = 0; i < kGrammarWordCount && !known; ++i)
    known = t.keyword == grammarKeyword(static_cast<GrammarWord>(i));
  if (!known) hints += suggestionHint(t.keyword->name);
  return hints;
}

int32_t parseDatePart(const TokenList& tokens, int32_t index, pendra::Date* pattern) {
  for (; index < tokens.count(); ++index) {
    const Token& t = tokens[index];
    if (t.kind == TokenKind::Number) {
      if (t.number >= 1 && t.number <= 31) {
        if (pattern->day != 0) fail(tokens, index, "day of month specified twice");
        pattern->day = static_cast<uint8_t>(t.number);
      } else if (t.number >= static_cast<int32_t>(pendra::kFirstWrittenYear) &&
                 t.number <= static_cast<int32_t>(pendra::kLastWrittenYear)) {
        if (pattern->year != 0) fail(tokens, index, "year specified twice");
        pattern->year = static_cast<uint32_t>(t.number);
      } else {
        fail(tokens, index, "unexpected number");
      }
    } else if (t.hasFlag(WeekdayFlag)) {
      if (pattern->weekday != 0) fail(tokens, index, "day of week specified twice");
      pattern->weekday = static_cast<uint8_t>(t.keyword->flags & 0xff);
    } else if (t.hasFlag(MonthFlag)) {
      if (pattern->month != 0) fail(tokens, index, "month specified twice");
      pattern->month = static_cast<uint8_t>(flagValue(t.keyword->flags));
    } else {
      break;
    }
  }
  if (pattern->weekday != 0 && pattern->day != 0) {
    bool complete = pattern->month != 0 && pattern->year != 0;
    if (!complete ||
        pendra::weekdayOf(pattern->day, pattern->month, pattern->year) != pattern->weekday)
      fail(tokens, index - 1, "day of week and day of month conflict");
  }
  return index;
}

int32_t parseSpecifier(scheme::Interpreter& in, const TokenList& tokens, int32_t index,
                       std::unique_ptr<Specifier>* out) {
  if (hasFlag(tokens, index, SpecifierProcFlag)) {
    const Keyword* k = tokens[index].keyword;
    if (flagValue(k->flags) == 0) {
      *out = std::make_unique<TestProcSpecifier>(in, k->value);
    } else {
      *out = std::make_unique<SetProcSpecifier>(in, k->value);
    }
    return index + 1;
  }

  std::unique_ptr<DateRule> rule;
  if (hasFlag(tokens, index, OrdinalFlag)) {
    uint8_t n = static_cast<uint8_t>(flagValue(tokens[index].keyword->flags));
    ++index;
    if (!hasFlag(tokens, index, WeekdayFlag)) fail(tokens, index, "expected a week day");
    uint8_t weekday = static_cast<uint8_t>(flagValue(tokens[index].keyword->flags));
    ++index;
    rule = std::make_unique<NthWeekdayRule>(n, weekday);
  } else {
    int32_t j = index;
    while (hasFlag(tokens, j, WeekdayFlag)) ++j;
    if (isWord(tokens, j, GrammarWord::On) || isWord(tokens, j, GrammarWord::Before) ||
        isWord(tokens, j, GrammarWord::After)) {
      if (j == index) fail(tokens, index, "weekday(s) missing before on, before, or after");
      uint8_t mask = 0;
      for (; index < j; ++index) mask |= 1u << (flagValue(tokens[index].keyword->flags) & 7);
      bool inclusive = false;
      if (isWord(tokens, index, GrammarWord::On)) {
        inclusive = true;
        ++index;
        if (!isWord(tokens, index, GrammarWord::Or)) fail(tokens, index, "or missing after on");
        ++index;
      }
      bool backward;
      if (isWord(tokens, index, GrammarWord::Before)) {
        backward = true;
      } else if (isWord(tokens, index, GrammarWord::After)) {
        backward = false;
      } else {
        fail(tokens, index, "missing before or after");
      }
      ++index;
      rule = std::make_unique<WeekdayOffsetRule>(mask, inclusive, backward);
    }
  }

  pendra::Date pattern;
  index = parseDatePart(tokens, index, &pattern);

  if (isWord(tokens, index, GrammarWord::Every)) {
    if (rule) fail(tokens, index, "can not use every with an nth or an offset");
    if (pattern.day == 0 || pattern.month == 0)
      fail(tokens, index, "must specify day and month for every");
    ++index;
    int32_t n = 1;
    if (isNumber(tokens, index)) n = tokens[index++].number;
    if (!hasFlag(tokens, index, UnitFlag)) fail(tokens, index, "missing step for every");
    auto every = std::make_unique<EveryRule>(
        n, static_cast<int32_t>(flagValue(tokens[index++].keyword->flags)));
    if (isWord(tokens, index, GrammarWord::Until)) {
      pendra::Date until;
      index = parseDatePart(tokens, index + 1, &until);
      if (until.month == 0 || until.day == 0)
        fail(tokens, index, "must specify day and month for until");
      every->setUntil(until);
    } else if (isWord(tokens, index, GrammarWord::For)) {
      ++index;
      if (!isNumber(tokens, index)) fail(tokens, index, "missing count in for");
      int32_t count = tokens[index++].number;
      if (!hasFlag(tokens, index, UnitFlag)) fail(tokens, index, "missing step in for");
      every->setFor(count, static_cast<int32_t>(flagValue(tokens[index++].keyword->flags)));
    }
    while (isWord(tokens, index, GrammarWord::Except)) {
      pendra::Date except;
      index = parseDatePart(tokens, index + 1, &except);
      if (except.month == 0 || except.day == 0)
        fail(tokens, index, "must specify day and month for except");
      every->addException(except);
    }
    rule = std::move(every);
  }

  *out = std::make_unique<DateSpecifier>(std::move(rule), pattern);
  return index;
}

}  // namespace engine
