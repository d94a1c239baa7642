#include "engine/reminder_reader.h"

#include <cstring>
#include <limits>

#include "engine/diagnostics.h"
#include "engine/error.h"
#include "engine/platform.h"
#include "scheme/interpreter.h"
#include "scheme/printer.h"
#include "scheme/reader.h"

namespace engine {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '-'; }
bool startsToken(char c) { return isWordChar(c) || c == '[' || c == '.' || c == '('; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

[[noreturn]] void unexpectedEnd(const Token& t) {
  raiseError("unexpected end of file", t.file, t.line, 1);
}

}  // namespace

// ---- Inputs ---------------------------------------------------------------

InputFile::InputFile(const char* name, std::FILE* file)
    : name_(name), directory_(fileDirectory(name)), identity_(fileIdentity(file)), file_(file) {}

InputFile::~InputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

char InputFile::readChar(bool& eof) {
  if (used_ == filled_) {
    filled_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    used_ = 0;
    if (filled_ == 0) {
      eof = true;
      return '\0';
    }
  }
  eof = false;
  return buffer_[used_++];
}

InputReader::InputReader(std::unique_ptr<InputSource> source, std::unique_ptr<InputReader> outer)
    : source_(std::move(source)), outer_(std::move(outer)) {}

char InputReader::readChar(bool& eof) {
  started_ = true;
  if (pushedBack_) {
    pushedBack_ = false;
    eof = false;
    return current_;
  }
  previous_ = current_;
  current_ = source_->readChar(eof);
  if (eof) {
    current_ = '\0';
    return '\0';
  }
  // The count stops at its top rather than wrap.
  if ((current_ == '\r' || (current_ == '\n' && previous_ != '\r')) && line_ < INT32_MAX) ++line_;
  return current_;
}

void InputReader::unreadChar(char c) {
  pushedBack_ = true;
  current_ = c;
}

char16_t ReminderCharSource::next(bool& end) {
  return static_cast<unsigned char>(input_.readChar(end));
}

void ReminderCharSource::pushBack(char16_t c) { input_.unreadChar(static_cast<char>(c)); }

const char16_t* ReminderCharSource::name() {
  if (!haveName_) {
    for (const char* p = input_.name(); *p != '\0'; ++p)
      name_.push_back(static_cast<unsigned char>(*p));
    haveName_ = true;
  }
  return name_.c_str();
}

// ---- The reader -----------------------------------------------------------

ReminderReader::ReminderReader(scheme::Interpreter& in, std::unique_ptr<InputSource> main)
    : in_(in), top_(std::make_unique<InputReader>(std::move(main), nullptr)) {}

void ReminderReader::pushInput(std::unique_ptr<InputSource> source) {
  top_ = std::make_unique<InputReader>(std::move(source), std::move(top_));
}

void ReminderReader::popInput() {
  std::unique_ptr<InputReader> outer = top_->releaseOuter();
  top_ = std::move(outer);
}

const char* ReminderReader::keepText(const std::string& text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  texts_.push_back(std::move(copy));
  return texts_.back().get();
}

bool ReminderReader::nextToken(Token* token) {
  InputReader& input = *top_;
  bool eof = false;
  char c;
  for (;;) {
    c = input.readChar(eof);
    if (eof) return false;
    if (startsToken(c)) break;
    if (c == ';') {
      do {
        c = input.readChar(eof);
        if (eof) return false;
      } while (!isLineEnd(c));
    }
  }

  Token& t = *token;
  t = Token();
  t.file = input.name();
  t.line = input.line();
  t.endLine = t.line;

  if (isLetter(c) || c == '-') {
    char text[kMaxTokenText + 1];
    int32_t length = 0;
    for (;;) {
      text[length++] = c;
      if (length > kMaxTokenText) {
        skipRestOfEntry();
        raiseError("word too long", t.file, t.line, 0);
      }
      c = input.readChar(eof);
      if (eof) unexpectedEnd(t);
      if (!isWordChar(c)) break;
    }
    input.unreadChar(c);
    t.kind = TokenKind::Word;
    t.keyword = internKeyword(text, static_cast<size_t>(length));
    return true;
  }

  if (isDigit(c)) {
    // Saturates, so that an overlong number is still refused as a number.
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    int32_t value = c - '0';
    for (;;) {
      c = input.readChar(eof);
      if (eof) unexpectedEnd(t);
      if (!isDigit(c)) break;
      int32_t digit = c - '0';
      value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    input.unreadChar(c);
    t.kind = TokenKind::Number;
    t.number = value;
    return true;
  }

  if (c == '[') {
    std::string text;
    bool bareBracket = false;  // a "[" not written "\[": likely a lost "]"
    for (;;) {
      c = input.readChar(eof);
      if (eof) unexpectedEnd(t);
      if (c == ']') break;
      if (c == '[') bareBracket = true;
      if (c == '\\') {
        c = input.readChar(eof);
        if (eof) unexpectedEnd(t);
      }
      // NULs are dropped here as between tokens; a CR LF line end keeps
      // only its LF, so a text reads the same from CR LF and LF files.
      if (c == '\0') continue;
      if (c == '\r') {
        char after = input.readChar(eof);
        if (eof) unexpectedEnd(t);
        if (after == '\n') {
          c = after;
        } else {
          input.unreadChar(after);
        }
      }
      text.push_back(c);
      if (static_cast<int32_t>(text.size()) > kMaxTokenText) {
        skipBracketString();
        skipRestOfEntry();
        raiseError("string too long", t.file, t.line, 0);
      }
    }
    t.kind = TokenKind::String;
    t.text = keepText(text);
    t.endLine = input.line();
    if (keepGoing()) checkText(t, text, bareBracket);
    return true;
  }

  t.kind = c == '(' ? TokenKind::SchemeStart : TokenKind::EntryEnd;
  return true;
}

bool ReminderReader::readEntryTokens(TokenList* out) {
  std::vector<Token>& held = out->tokens;
  held.clear();
  bool tooLong = false;
  Token beforeLast;  // the last two tokens read, held or not
  Token last;
  while (top_) {
    Token t;
    if (!nextToken(&t)) {
      if (!held.empty()) unexpectedEnd(last);
      popInput();
      continue;
    }
    switch (t.kind) {
      case TokenKind::EntryEnd:
        out->endLine = t.line;
        if (tooLong) raiseError("entry too long", held.front().file, held.front().line, 0);
        return true;
      case TokenKind::SchemeStart:
        if (!held.empty()) {
          const char* message = tooLong ? "entry too long" : "unexpected scheme expression";
          const Token& at = tooLong ? held.front() : last;
          if (last.kind == TokenKind::String && beforeLast.hasFlag(ActionFlag)) {
            // The entry only lacks its period: drop it, and read the "("
            // next time as an expression between entries.
            top_->unreadChar('(');
            std::string hint;
            if (!tooLong)
              hint =
                  " (is a \".\" missing at the end of line " + std::to_string(last.endLine) + "?)";
            raiseError(message, at.file, at.line, 0, "", hint);
          }
          // Drop the whole entry: what follows the "(" is Scheme, not
          // reminder text, and must not be read as words.
          skipSchemeExpression();
          bool atPeriod = skipRestOfEntry();
          raiseError(message, at.file, at.line, 0, "", skippedHint(at.line, atPeriod));
        }
        top_->unreadChar('(');
        readSchemeExpression();
        break;
      case TokenKind::Word:
      case TokenKind::String:
      case TokenKind::Number:
        if (static_cast<int32_t>(held.size()) == kMaxEntryTokens) {
          tooLong = true;
        } else {
          held.push_back(t);
        }
        beforeLast = last;
        last = t;
        break;
    }
  }
  return false;
}

void ReminderReader::readSchemeExpression() {
  expressionFile_ = top_->name();
  expressionLine_ = top_->line();
  ReminderCharSource source(*top_);
  scheme::SourceTable table;
  table.fileName = source.name();
  scheme::Value datum = scheme::read(in_, source, &table);
  if (datum == in_.eof()) return;
  scheme::Value result = in_.evalTopLevel(datum, &table);
  if (result != in_.unspecified()) {
    scheme::write(in_, in_.output(), result);
    in_.output().putText("\n");
  }
}

bool ReminderReader::hasMoreInput(const char** file, int32_t* line) {
  while (top_) {
    InputReader& input = *top_;
    bool eof = false;
    for (;;) {
      char c = input.readChar(eof);
      if (eof) break;
      if (startsToken(c)) {
        input.unreadChar(c);
        *file = input.name();
        *line = input.line();
        return true;
      }
      if (c == ';') skipComment();
    }
    popInput();
  }
  return false;
}

// ---- Help with -k -----------------------------------------------------------

namespace {

// A line whose first word is a month, weekday, ordinal or number and which
// holds "remind": the start of an entry, as people write them.
bool readsLikeEntry(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && !isWordChar(line[i])) ++i;
  size_t start = i;
  while (i < line.size() && isWordChar(line[i])) ++i;
  if (i == start) return false;
  if (!isDigit(line[start])) {
    Keyword* k = internKeyword(line.c_str() + start, i - start);
    if (!k->has(MonthFlag | WeekdayFlag | OrdinalFlag)) return false;
  }
  std::string rest;
  for (size_t j = i; j < line.size(); ++j)
    rest.push_back(line[j] >= 'A' && line[j] <= 'Z' ? static_cast<char>(line[j] + 32) : line[j]);
  return rest.find("remind") != std::string::npos;
}

}  // namespace

void ReminderReader::checkText(const Token& t, const std::string& text, bool bareBracket) {
  const std::string runs = "runs to line " + std::to_string(t.endLine) + ": is a \"]\" missing?";
  if (bareBracket) {
    warn(t.file, t.line,
         t.endLine > t.line ? "the text begun here holds \"[\" and " + runs
                            : std::string("the text begun here holds \"[\": is a \"]\" missing?"));
    return;
  }
  int32_t line = t.line;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    if (begin > 0 && readsLikeEntry(text.substr(begin, end - begin))) {
      warn(t.file, t.line,
           "the text begun here goes on past line " + std::to_string(line) +
               ", which reads like an entry, and " + runs);
      return;
    }
    if (end == text.size()) break;
    ++line;
    begin = end + 1;
  }
}

std::string ReminderReader::skippedHint(int32_t errorLine, bool atPeriod) {
  if (!top_) return "";
  int32_t line = top_->line();
  if (!atPeriod)
    return " (skipped to the end of the file: a \".\" may be missing on line " +
           std::to_string(errorLine) + ")";
  if (line <= errorLine) return "";
  return " (skipped to the \".\" on line " + std::to_string(line) +
         ": a \".\" may be missing on line " + std::to_string(errorLine) + ")";
}

// ---- Skipping a faulty entry ----------------------------------------------

void ReminderReader::skipComment() {
  bool eof = false;
  char c;
  do {
    c = top_->readChar(eof);
  } while (!eof && !isLineEnd(c));
}

void ReminderReader::skipBracketString() {
  bool eof = false;
  for (;;) {
    char c = top_->readChar(eof);
    if (eof || c == ']') return;
    if (c == '\\') {
      top_->readChar(eof);
      if (eof) return;
    }
  }
}

void ReminderReader::skipSchemeExpression() {
  bool eof = false;
  int depth = 1;
  while (depth > 0) {
    char c = top_->readChar(eof);
    if (eof) return;
    switch (c) {
      case '(':
        ++depth;
        break;
      case ')':
        --depth;
        break;
      case ';':
        skipComment();
        break;
      case '"':
        for (;;) {
          c = top_->readChar(eof);
          if (eof) return;
          if (c == '"') break;
          if (c == '\\') {
            top_->readChar(eof);
            if (eof) return;
          }
        }
        break;
      case '#':
        // #\( and #\) are characters; "#(" opens a vector and counts.
        c = top_->readChar(eof);
        if (eof) return;
        if (c == '\\') {
          top_->readChar(eof);
          if (eof) return;
        } else {
          top_->unreadChar(c);
        }
        break;
      default:
        break;
    }
  }
}

bool ReminderReader::skipRestOfEntry() {
  bool eof = false;
  for (;;) {
    char c = top_->readChar(eof);
    if (eof) return false;
    if (c == '.') return true;
    if (c == ';') {
      skipComment();
    } else if (c == '[') {
      skipBracketString();
    } else if (c == '(') {
      skipSchemeExpression();
    }
  }
}

}  // namespace engine
