#include "scheme/printer.h"

#include <string>
#include <vector>

#include "common/bounds.h"
#include "scheme/environment.h"
#include "scheme/interpreter.h"
#include "scheme/registry.h"

namespace scheme {

namespace {

const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

using pendra::kMaxPrintDepth;

void putIdentity(OutputPort& port, uint32_t id) {
  char16_t buffer[8];
  int32_t n = 0;
  do {
    buffer[7 - n++] = kDigits[id % 16];
    id /= 16;
  } while (id != 0);
  port.putUnits(buffer + 8 - n, n);
}

// Everything but pairs and vectors.
void writeAtom(Interpreter& in, OutputPort& port, Value v) {
  if (v.isNone()) {
    port.putText("#<none>");  // the culprit of an error that names no value
    return;
  }
  switch (typeOf(v)) {
    case TypeCode::Boolean:
      port.putText(v == in.trueValue() ? "#t" : "#f");
      return;
    case TypeCode::Unspecified:
      port.putText("#<unspecified>");
      return;
    case TypeCode::EmptyList:
      port.putText("'()");
      return;
    case TypeCode::EndOfFile:
      port.putText("#<end-of-file>");
      return;
    case TypeCode::Symbol: {
      const String* name = as<Symbol>(v)->nameString();
      port.putUnits(name->units(), name->length());
      return;
    }
    case TypeCode::String: {
      const String* s = as<String>(v);
      port.putChar('"');
      port.putUnits(s->units(), s->length());
      port.putChar('"');
      return;
    }
    case TypeCode::Character:
      port.putText("#\\");
      port.putChar(v.charCode());
      return;
    case TypeCode::Number: {
      char16_t buffer[33];
      port.putUnits(buffer, formatInteger(v.number(), buffer, 10));
      return;
    }
    case TypeCode::Procedure:
      port.putText("#<procedure: #x");
      putIdentity(port, v.identity());
      port.putText(">");
      return;
    case TypeCode::Builtin:
      port.putText("#<builtin: ");
      port.putText(as<BuiltinProcedure>(v)->builtin()->name());
      port.putText(">");
      return;
    case TypeCode::SpecialForm: {
      port.putText("#<syntax: ");
      const char* name = as<SpecialForm>(v)->name();
      if (name != nullptr) {
        port.putText(name);
      } else {
        port.putText("#x");
        putIdentity(port, v.identity());
      }
      port.putText(">");
      return;
    }
    case TypeCode::Environment:
    case TypeCode::Host:
    case TypeCode::Pair:
    case TypeCode::Vector:
      break;
  }
  if (in.hooks().writeForeign(port, v)) return;
  port.putText("#<unknown: #x");
  putIdentity(port, v.identity());
  port.putText(">");
}

// Keeps the first limit units written through it and drops the rest; full
// once a unit past the limit was offered, so the writer can stop early.
class LimitPort : public OutputPort {
 public:
  explicit LimitPort(int32_t limit) : limit_(limit) {}
  void putChar(char16_t c) override { putUnits(&c, 1); }
  void putText(const char* text) override {
    for (; *text != 0 && !full(); ++text) putChar(static_cast<unsigned char>(*text));
  }
  void putUnits(const char16_t* units, int32_t count) override {
    for (int32_t i = 0; i < count && !full(); ++i) {
      if (static_cast<int32_t>(kept_.size()) == limit_)
        full_ = true;
      else
        kept_.push_back(units[i]);
    }
  }
  bool full() const { return full_; }
  const std::u16string& kept() const { return kept_; }

 private:
  int32_t limit_;
  bool full_ = false;
  std::u16string kept_;
};

// Walks list spines and nesting with a stack of its own, so neither long
// lists nor deep nesting use native stack. A cycle on a spine is found by
// a second pointer moving at half speed; the rest of that list prints as
// " ...". A pair or vector met again while it is still being printed
// further up (a cycle through cars or vector items) prints as "...".
class Writer {
 public:
  // With a limit port, writing stops as soon as that port is full.
  Writer(Interpreter& in, OutputPort& port, const LimitPort* limit = nullptr)
      : in_(in), port_(port), limit_(limit) {}
  ~Writer() { leave(0); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  void write(Value root);

 private:
  enum class Kind { List, Dotted, Vector };
  struct Open {
    Kind kind;
    Value at;    // List: the pair whose car was written last; Vector: the vector
    Value slow;  // List: the cycle check's slow pointer
    int32_t index;
    int32_t depth;
    size_t pathMark;  // path_.size() before this entry was opened
    Value entered;    // List: the last spine pair marked
  };

  // True when v, a pair or vector, is being printed further up. The top
  // list's spine is marked only now, when something is opened inside it.
  bool onPath(Value v) {
    if (!open_.empty() && open_.back().kind != Kind::Vector) {
      Open& top = open_.back();
      while (top.entered != top.at) {
        top.entered = as<Pair>(top.entered)->cdr();
        enter(top.entered);
      }
    }
    return v.object()->printing();
  }
  void enter(Value v) {
    Object* o = v.object();
    if (o->printing()) return;  // a spine that runs into itself
    o->setPrinting(true);
    path_.push_back(o);
  }
  // Unmarks what was marked after path_ had n entries.
  void leave(size_t n) {
    for (size_t i = n; i < path_.size(); ++i) path_[i]->setPrinting(false);
    path_.resize(n);
  }
  void close() {
    leave(open_.back().pathMark);
    open_.pop_back();
  }

  Interpreter& in_;
  OutputPort& port_;
  const LimitPort* limit_;
  std::vector<Open> open_;
  std::vector<Object*> path_;  // the marked pairs and vectors, in order
};

void Writer::write(Value root) {
  Value next = root;
  bool pending = true;
  int32_t depth = 0;
  for (;;) {
    if (limit_ != nullptr && limit_->full()) return;
    if (pending) {
      pending = false;
      if (isPair(next) || isType(next, TypeCode::Vector)) {
        if (depth >= kMaxPrintDepth || onPath(next)) {
          port_.putText("...");
        } else if (isPair(next)) {
          port_.putChar('(');
          open_.push_back({Kind::List, next, next, 0, depth, path_.size(), next});
          enter(next);
          next = as<Pair>(next)->car();
          depth = depth + 1;
          pending = true;
          continue;
        } else {
          Vector* vector = as<Vector>(next);
          port_.putText("#(");
          if (vector->length() == 0) {
            port_.putChar(')');
          } else {
            open_.push_back({Kind::Vector, next, Value(), 0, depth, path_.size(), Value()});
            enter(next);
            next = vector->items()[0];
            depth = depth + 1;
            pending = true;
            continue;
          }
        }
      } else {
        writeAtom(in_, port_, next);
      }
    }
    if (open_.empty()) return;
    Open& top = open_.back();
    depth = top.depth + 1;
    switch (top.kind) {
      case Kind::List: {
        Value rest = as<Pair>(top.at)->cdr();
        if (isPair(rest)) {
          if (++top.index % 2 == 0) top.slow = as<Pair>(top.slow)->cdr();
          if (rest == top.slow) {
            port_.putText(" ...)");
            close();
            continue;
          }
          port_.putChar(' ');
          top.at = rest;
          next = as<Pair>(rest)->car();
          pending = true;
        } else if (rest != in_.emptyList()) {
          port_.putText(" . ");
          top.kind = Kind::Dotted;
          next = rest;
          pending = true;
        } else {
          port_.putChar(')');
          close();
        }
        break;
      }
      case Kind::Dotted:
        port_.putChar(')');
        close();
        break;
      case Kind::Vector: {
        Vector* vector = as<Vector>(top.at);
        if (++top.index < vector->length()) {
          port_.putChar(' ');
          next = vector->items()[top.index];
          pending = true;
        } else {
          port_.putChar(')');
          close();
        }
        break;
      }
    }
  }
}

}  // namespace

void write(Interpreter& in, OutputPort& port, Value v) {
  if (!isPair(v) && !isType(v, TypeCode::Vector)) {
    writeAtom(in, port, v);  // no stack needed
    return;
  }
  Writer(in, port).write(v);
}

void writeLimited(Interpreter& in, OutputPort& port, Value v, int32_t limit) {
  LimitPort kept(limit);
  if (!isPair(v) && !isType(v, TypeCode::Vector))
    writeAtom(in, kept, v);
  else
    Writer(in, kept, &kept).write(v);
  const std::u16string& text = kept.kept();
  if (!kept.full()) {
    port.putUnits(text.data(), static_cast<int32_t>(text.size()));
    return;
  }
  port.putUnits(text.data(), limit - 4);
  port.putText(" ...");
}

void display(Interpreter& in, OutputPort& port, Value v) {
  if (isType(v, TypeCode::String)) {
    const String* s = as<String>(v);
    port.putUnits(s->units(), s->length());
  } else if (isType(v, TypeCode::Character)) {
    char16_t c = v.charCode();
    port.putUnits(&c, 1);
  } else if (v.isNone() || !in.hooks().displayForeign(port, v)) {
    write(in, port, v);
  }
}

int32_t formatInteger(int32_t n, char16_t* buffer, int32_t radix) {
  int32_t count = 0;
  if (n < 0) {
    buffer[count++] = '-';
    n = -n;
  }
  char16_t reversed[32];
  int32_t digits = 0;
  do {
    reversed[digits++] = kDigits[n % radix];
    n /= radix;
  } while (n > 0);
  while (digits > 0) buffer[count++] = reversed[--digits];
  return count;
}

}  // namespace scheme
