#include "engine/reminder.h"

#include <cstring>
#include <set>
#include <string>

#include "engine/diagnostics.h"
#include "engine/grammar.h"
#include "scheme/interpreter.h"
#include "scheme/printer.h"

namespace engine {

// ---- Remind -----------------------------------------------------------------

RemindAction::RemindAction(scheme::Interpreter& in, const char* text)
    : Action(in.output()), in_(in), text_(text) {
  std::string literal;
  auto flush = [&] {
    if (!literal.empty()) pieces_.push_back({std::move(literal), nullptr});
    literal.clear();
  };
  const char* p = text;
  while (*p != '\0') {
    if (p[0] != '%' || p[1] != '(') {
      literal.push_back(*p++);
      continue;
    }
    // A name longer than kMaxFieldName is cut; its tail is plain text.
    p += 2;
    const char* name = p;
    while (*p != '\0' && *p != ')' && p - name < kMaxFieldName) ++p;
    Keyword* field = internKeyword(name, static_cast<size_t>(p - name));
    if (*p == ')') ++p;
    flush();
    pieces_.push_back({std::string(), field});
  }
  // The line end goes with the last run of text, so that a plain text is
  // printed in one piece.
  literal.push_back('\n');
  flush();
}

namespace {

// A copy of an input's name that outlives the input: the warning about a
// field comes during the scan, after the file was closed.
const char* lastingName(const char* file) {
  static std::set<std::string> names;
  return file != nullptr ? names.insert(file).first->c_str() : nullptr;
}

}  // namespace

void RemindAction::setPlace(const char* file, int32_t line) {
  file_ = lastingName(file);
  line_ = line;
}

void RemindAction::write(scheme::OutputPort& out, pendra::Date scanned, pendra::Date occurrence,
                         pendra::Date matched) {
  for (const Piece& piece : pieces_) {
    if (piece.field == nullptr) {
      out.putText(piece.literal.c_str());
    } else if (piece.field->has(FieldProcFlag)) {
      scheme::Value dates[3] = {scheme::Value::makeHost(pendra::packDate(scanned)),
                                scheme::Value::makeHost(pendra::packDate(occurrence)),
                                scheme::Value::makeHost(pendra::packDate(matched))};
      scheme::display(in_, out, in_.call(piece.field->value, 3, dates));
    } else if (keepGoing()) {
      // Once per name: the same field is usually in many texts.
      static std::set<const Keyword*> warned;
      if (warned.insert(piece.field).second)
        warn(file_, line_, "no procedure for field \"" + std::string(piece.field->name) + "\"");
    }
  }
}

// ---- Entries ----------------------------------------------------------------

namespace {

// FNV-1a over the file's base name and the tokens, each part closed by a
// byte that cannot occur in it.
uint64_t entryKey(const TokenList& tokens) {
  uint64_t h = 14695981039346656037u;
  auto add = [&h](const char* p, size_t n, char end) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(p[i])) * 1099511628211u;
    h = (h ^ static_cast<unsigned char>(end)) * 1099511628211u;
  };
  if (tokens.count() > 0 && tokens[0].file != nullptr) {
    const char* name = tokens[0].file;
    for (const char* p = name; *p != '\0'; ++p) {
      if (*p == '/' || *p == '\\') name = p + 1;
    }
    add(name, std::strlen(name), '\0');
  }
  for (const Token& t : tokens.tokens) {
    char kind = static_cast<char>(1 + static_cast<int>(t.kind));
    if (t.kind == TokenKind::Word) {
      add(t.keyword->name, std::strlen(t.keyword->name), kind);
    } else if (t.kind == TokenKind::String) {
      add(t.text, std::strlen(t.text), kind);
    } else {
      std::string n = std::to_string(t.number);
      add(n.data(), n.size(), kind);
    }
  }
  return h;
}

}  // namespace

std::unique_ptr<Reminder> readEntry(ReminderReader& reader) {
  TokenList tokens;
  if (!reader.readEntryTokens(&tokens)) return nullptr;
  return parseEntry(reader.interpreter(), tokens);
}

std::unique_ptr<Reminder> parseEntry(scheme::Interpreter& in, const TokenList& tokens) {
  auto reminder = std::make_unique<Reminder>();
  reminder->sourceKey = entryKey(tokens);
  if (tokens.count() > 0) {
    if (tokens[0].file != nullptr) reminder->file = tokens[0].file;
    reminder->line = tokens[0].line;
  }
  int32_t count = tokens.count();

  std::vector<std::unique_ptr<Specifier>> specifiers;
  int32_t index = 0;
  for (;;) {
    std::unique_ptr<Specifier> s;
    index = parseSpecifier(in, tokens, index, &s);
    specifiers.push_back(std::move(s));
    if (index >= count || !tokens[index].isWord(GrammarWord::And)) break;
    ++index;
  }
  if (specifiers.size() == 1) {
    reminder->specifier = std::move(specifiers.front());
  } else {
    reminder->specifier = std::make_unique<AnyOfSpecifier>(std::move(specifiers));
  }

  if (index < count && tokens[index].isWord(GrammarWord::Previous)) {
    ++index;
    int32_t lookAhead = 1;
    int32_t step = 1;
    int32_t numberIndex = index;
    if (index < count && tokens[index].kind == TokenKind::Number)
      lookAhead = tokens[index++].number;
    if (index < count && tokens[index].hasFlag(DayUnitFlag))
      step = static_cast<int32_t>(flagValue(tokens[index++].keyword->flags));
    // A Scheme test is asked once a day ahead, every scanned day.
    if (reminder->specifier->callsScheme() &&
        static_cast<int64_t>(lookAhead) * step > kMaxSchemeLookAhead)
      raiseAtToken(tokens, numberIndex, "look-ahead too long");
    reminder->specifier->setPrevious(lookAhead, step);
  }

  while (index < count) {
    if (reminder->actionCount() == kMaxActions) raiseAtToken(tokens, index, "too many actions");
    const Token& t = tokens[index];
    if (!t.hasFlag(ActionFlag) || flagValue(t.keyword->flags) != kRemindAction)
      raiseAtToken(tokens, index, "not an action");
    ++index;
    if (index >= count || tokens[index].kind != TokenKind::String)
      raiseAtToken(tokens, index, "remind must be followed by a string");
    auto action = std::make_unique<RemindAction>(in, tokens[index].text);
    action->setPlace(tokens[index].file, tokens[index].line);
    reminder->actions.push_back(std::move(action));
    ++index;
  }
  return reminder;
}

}  // namespace engine
