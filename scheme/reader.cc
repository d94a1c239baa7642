#include "scheme/reader.h"

#include <string>
#include <vector>

#include "common/bounds.h"
#include "scheme/interpreter.h"

namespace scheme {

namespace {

constexpr int32_t kStringBuffer = 512;  // storing the 512th character is an error
constexpr int32_t kTokenBuffer = 128;   // likewise the 128th of a token
using pendra::kMaxReadNesting;

bool isLetter(char16_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }

bool isTokenChar(char16_t c) {
  if (isLetter(c) || isDigit(c)) return true;
  switch (c) {
    case '!':
    case '$':
    case '%':
    case '&':
    case '*':
    case '+':
    case '-':
    case '.':
    case '/':
    case ':':
    case '<':
    case '=':
    case '>':
    case '?':
    case '^':
    case '_':
    case '~':
      return true;
    default:
      return false;
  }
}

bool isTokenStart(char16_t c) { return c != '.' && isTokenChar(c); }

// A character that begins a datum or a part of one (not a blank or ";").
bool isDatumStart(char16_t c) {
  return c == '"' || c == '#' || c == '\'' || c == '(' || c == ')' || c == '.' || isTokenStart(c);
}

// An optional sign and one or more digits, nothing else.
bool isIntegerLiteral(const char16_t* units, int32_t length) {
  int32_t i = (units[0] == '+' || units[0] == '-') ? 1 : 0;
  if (i == length) return false;
  for (; i < length; ++i)
    if (!isDigit(units[i])) return false;
  return true;
}

// Reads one datum. Open lists, vectors and quotes are kept on a stack of
// the reader's own, so neither long lists nor deep nesting use native stack.
class Reader {
 public:
  Reader(Interpreter& in, CharSource& source, SourceTable* table)
      : in_(in), source_(source), table_(table) {}
  Value read();

 private:
  enum class Token { Datum, OpenList, OpenVector, Quote, Close, Dot, End };
  enum class Kind { List, Vector, Quote };
  enum class Dot { None, Expected, Read };  // no dot; dot read; datum after it read
  struct Open {
    Kind kind;
    Value head;  // first pair, or none
    Value tail;  // last pair, or none
    Value dotted;
    Dot dot;
    int32_t line;
  };

  Token next(Value* datum, bool listMode, bool endAllowed);
  char16_t take();  // the next character; "Unexpected EOF" at the end
  Value readString();
  Value readToken(char16_t first);
  void push(Kind kind);
  Value closeList();
  // Reports a reading error; the value names where the datum began, which
  // an unfinished datum at the end of a file could not show otherwise.
  [[noreturn]] void fail(const char* message);

  Interpreter& in_;
  CharSource& source_;
  SourceTable* table_;
  std::vector<Open> open_;
  int32_t startLine_ = 0;  // line of the datum's first character; 0 before it
};

void Reader::fail(const char* message) {
  std::u16string place = u"expression begun at ";
  place += source_.name();
  place += u"(";
  for (char digit : std::to_string(startLine_ != 0 ? startLine_ : source_.line()))
    place += static_cast<char16_t>(digit);
  place += u")";
  in_.error(message, in_.intern(static_cast<int32_t>(place.size()), place.data()));
}

char16_t Reader::take() {
  bool end = false;
  char16_t c = source_.next(end);
  if (end) fail("Unexpected EOF");
  return c;
}

Reader::Token Reader::next(Value* datum, bool listMode, bool endAllowed) {
  for (;;) {
    bool end = false;
    char16_t c = source_.next(end);
    if (end) {
      if (endAllowed) return Token::End;
      fail("Unexpected EOF");
    }
    if (startLine_ == 0 && isDatumStart(c)) startLine_ = source_.line();
    switch (c) {
      case '"':
        *datum = readString();
        return Token::Datum;
      case '#':
        c = take();
        switch (c) {
          case '(':
            return Token::OpenVector;
          case 't':
          case 'T':
            *datum = in_.trueValue();
            return Token::Datum;
          case 'f':
          case 'F':
            *datum = in_.falseValue();
            return Token::Datum;
          case '\\':
            *datum = Value::makeChar(take());
            return Token::Datum;
          default:
            fail("Unexpected character following #");
        }
      case '\'':
        return Token::Quote;
      case '(':
        return Token::OpenList;
      case ')':
        if (!listMode) fail("Unexpected ')'");
        return Token::Close;
      case '.':
        if (!listMode) fail("Unexpected '.'");
        return Token::Dot;
      case ';':
        while (!end && c != '\n' && c != '\r') c = source_.next(end);
        if (end) {
          if (endAllowed) return Token::End;
          fail("Unexpected EOF");
        }
        continue;
      default:
        if (isTokenStart(c)) {
          *datum = readToken(c);
          return Token::Datum;
        }
        continue;  // blanks, line ends and every other character
    }
  }
}

Value Reader::readString() {
  char16_t buffer[kStringBuffer];
  int32_t length = 0;
  for (;;) {
    char16_t c = take();
    if (c == '"') break;
    if (c == '\\') c = take();
    buffer[length++] = c;
    if (length == kStringBuffer) fail("String too long");
  }
  return makeString(in_, length, buffer);
}

Value Reader::readToken(char16_t first) {
  char16_t buffer[kTokenBuffer];
  int32_t length = 0;
  buffer[length++] = first;
  for (;;) {
    char16_t c = take();
    if (!isTokenChar(c)) {
      source_.pushBack(c);
      break;
    }
    buffer[length++] = c;
    if (length == kTokenBuffer) fail("Symbol too long");
  }
  if (isIntegerLiteral(buffer, length)) {
    uint32_t value = 0;
    int32_t i = (buffer[0] == '+' || buffer[0] == '-') ? 1 : 0;
    for (; i < length; ++i) value = value * 10u + static_cast<uint32_t>(buffer[i] - '0');
    if (buffer[0] == '-') value = 0u - value;
    return Value::makeNumber(static_cast<int32_t>(value));
  }
  for (int32_t i = 0; i < length; ++i)
    if (buffer[i] >= 'A' && buffer[i] <= 'Z') buffer[i] = static_cast<char16_t>(buffer[i] + 32);
  return in_.intern(length, buffer);
}

void Reader::push(Kind kind) {
  if (open_.size() >= kMaxReadNesting) fail("Nesting too deep");
  // The line of the opening parenthesis, asked for as soon as it is read.
  int32_t line = (kind == Kind::List && table_ != nullptr) ? source_.line() : 0;
  open_.push_back({kind, Value(), Value(), Value(), Dot::None, line});
}

// Called on ")" with a list or vector on top of the stack.
Value Reader::closeList() {
  Open top = open_.back();
  open_.pop_back();
  Value list;
  if (top.head.isNone()) {
    list = top.dot == Dot::Read ? top.dotted : in_.emptyList();  // "(. 5)" is 5
  } else {
    if (top.dot == Dot::Read) as<Pair>(top.tail)->setCdr(top.dotted);
    list = top.head;
  }
  if (top.kind == Kind::List) {
    if (table_ != nullptr) table_->add(top.line, list);
    return list;
  }
  int32_t length = 0;
  for (Value p = list; p != in_.emptyList(); p = as<Pair>(p)->cdr()) {
    checkType(in_, TypeCode::Pair, p);
    ++length;
  }
  Value vector = makeVector(in_, length, in_.unspecified());
  Value* items = as<Vector>(vector)->items();
  for (Value p = list; p != in_.emptyList(); p = as<Pair>(p)->cdr()) *items++ = as<Pair>(p)->car();
  return vector;
}

Value Reader::read() {
  for (;;) {
    bool listMode =
        !open_.empty() && open_.back().kind != Kind::Quote && open_.back().dot != Dot::Expected;
    Value datum;
    switch (next(&datum, listMode, open_.empty())) {
      case Token::End:
        return in_.eof();
      case Token::OpenList:
        push(Kind::List);
        continue;
      case Token::OpenVector:
        push(Kind::Vector);
        continue;
      case Token::Quote:
        push(Kind::Quote);
        continue;
      case Token::Dot:
        if (open_.back().dot == Dot::Read) fail("Bad dotted pair");
        open_.back().dot = Dot::Expected;
        continue;
      case Token::Close:
        datum = closeList();
        break;
      case Token::Datum:
        break;
    }
    // A datum is complete: hand it to whatever is open.
    for (;;) {
      if (open_.empty()) return datum;
      Open& top = open_.back();
      if (top.kind == Kind::Quote) {
        open_.pop_back();
        datum = cons(in_, in_.quoteSymbol(), cons(in_, datum, in_.emptyList()));
        continue;
      }
      if (top.dot == Dot::None) {
        Value pair = cons(in_, datum, in_.emptyList());
        if (top.head.isNone())
          top.head = pair;
        else
          as<Pair>(top.tail)->setCdr(pair);
        top.tail = pair;
      } else if (top.dot == Dot::Expected) {
        top.dotted = datum;
        top.dot = Dot::Read;
      } else {
        fail("Bad dotted pair");
      }
      break;
    }
  }
}

}  // namespace

Value read(Interpreter& in, CharSource& source, SourceTable* table) {
  return Reader(in, source, table).read();
}

}  // namespace scheme
