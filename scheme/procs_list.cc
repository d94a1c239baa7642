// Builtins on pairs and lists.
//
// Every walk checks each cell it steps on, so an improper list is reported
// where the walk reaches its non-pair tail, and every walk that could run to
// the end of a list detects a cycle instead of looping.
#include <cstdint>

#include "scheme/interpreter.h"
#include "scheme/objects.h"
#include "scheme/registry.h"

namespace scheme {

namespace {

// Steps along the cdrs of a list. A second cursor follows at half speed and
// can only meet the first on a cycle, which is reported as "Wrong type"
// naming the whole list.
class ListWalk {
 public:
  ListWalk(Interpreter& in, Value list) : in_(in), list_(list), cell_(list), slow_(list) {}

  Value cell() const { return cell_; }
  bool atEnd() const { return cell_ == in_.emptyList(); }
  // The current cell; "Wrong type" naming it when it is not a pair.
  Pair* pair() const {
    checkType(in_, TypeCode::Pair, cell_);
    return as<Pair>(cell_);
  }
  // Moves to the cdr. REQUIRES: the current cell is a pair.
  void next() {
    cell_ = as<Pair>(cell_)->cdr();
    if (lagging_) slow_ = as<Pair>(slow_)->cdr();
    lagging_ = !lagging_;
    if (cell_ == slow_) in_.error("Wrong type", list_);
  }

 private:
  Interpreter& in_;
  Value list_;
  Value cell_;
  Value slow_;  // only ever on cells already passed, so always a pair
  bool lagging_ = false;
};

using Comparison = bool (*)(Interpreter& in, Value key, Value element);

bool compareEq(Interpreter&, Value key, Value element) { return key == element; }
bool compareEqv(Interpreter&, Value key, Value element) { return isEqv(key, element); }
bool compareEqual(Interpreter& in, Value key, Value element) { return isEqual(in, key, element); }

// The first cell whose car matches the key, or #f.
Value memberWalk(Interpreter& in, Value list, Value key, Comparison same) {
  for (ListWalk w(in, list); !w.atEnd(); w.next())
    if (same(in, key, w.pair()->car())) return w.cell();
  return in.falseValue();
}

// The first entry (a pair) whose car matches the key, or #f.
Value associationWalk(Interpreter& in, Value list, Value key, Comparison same) {
  for (ListWalk w(in, list); !w.atEnd(); w.next()) {
    Value entry = w.pair()->car();
    checkType(in, TypeCode::Pair, entry);
    if (same(in, key, as<Pair>(entry)->car())) return entry;
  }
  return in.falseValue();
}

}  // namespace

// ---- Pairs ----------------------------------------------------------------

static Value pairP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isPair(argv[0]));
}
static const Builtin kPairP("pair?", pairP, ".");

static Value consProc(Interpreter& in, int32_t argc, Value* argv) {
  return cons(in, argv[0], argv[1]);
}
static const Builtin kCons("cons", consProc, "..");

static Value car(Interpreter& in, int32_t argc, Value* argv) { return as<Pair>(argv[0])->car(); }
static const Builtin kCar("car", car, "p");

static Value cdr(Interpreter& in, int32_t argc, Value* argv) { return as<Pair>(argv[0])->cdr(); }
static const Builtin kCdr("cdr", cdr, "p");

static Value setCar(Interpreter& in, int32_t argc, Value* argv) {
  as<Pair>(argv[0])->setCar(argv[1]);
  return in.unspecified();
}
static const Builtin kSetCar("set-car!", setCar, "p.");

static Value setCdr(Interpreter& in, int32_t argc, Value* argv) {
  as<Pair>(argv[0])->setCdr(argv[1]);
  return in.unspecified();
}
static const Builtin kSetCdr("set-cdr!", setCdr, "p.");

// ---- Lists ----------------------------------------------------------------

static Value nullP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(argv[0] == in.emptyList());
}
static const Builtin kNullP("null?", nullP, ".");

// A fast cursor (two cells a step) and a slow one (one cell): they meet only
// on a cycle. Never reports an error.
static Value listP(Interpreter& in, int32_t argc, Value* argv) {
  Value fast = argv[0];
  Value slow = argv[0];
  while (fast != in.emptyList()) {
    if (!isPair(fast)) return in.falseValue();
    Value next = as<Pair>(fast)->cdr();
    if (next == in.emptyList()) return in.trueValue();
    if (!isPair(next)) return in.falseValue();
    fast = as<Pair>(next)->cdr();
    slow = as<Pair>(slow)->cdr();
    if (fast == slow) return in.falseValue();
  }
  return in.trueValue();
}
static const Builtin kListP("list?", listP, ".");

static Value list(Interpreter& in, int32_t argc, Value* argv) {
  Value result = in.emptyList();
  for (int32_t i = argc - 1; i >= 0; --i) result = cons(in, argv[i], result);
  return result;
}
static const Builtin kList("list", list, "*.");

static Value length(Interpreter& in, int32_t argc, Value* argv) {
  int32_t count = 0;
  for (ListWalk w(in, argv[0]); !w.atEnd(); w.next()) {
    w.pair();
    ++count;
  }
  return Value::makeNumber(count);
}
static const Builtin kLength("length", length, ".");

// Copies every argument but the last, from right to left, each copy ending in
// the result so far; the last argument is shared, neither copied nor checked.
static Value append(Interpreter& in, int32_t argc, Value* argv) {
  Value result = argv[argc - 1];
  for (int32_t i = argc - 2; i >= 0; --i) {
    Value head = result;
    Pair* tail = nullptr;
    for (ListWalk w(in, argv[i]); !w.atEnd(); w.next()) {
      Value cell = cons(in, w.pair()->car(), result);
      if (tail)
        tail->setCdr(cell);
      else
        head = cell;
      tail = as<Pair>(cell);
    }
    result = head;
  }
  return result;
}
static const Builtin kAppend("append", append, ".*.");

static Value reverse(Interpreter& in, int32_t argc, Value* argv) {
  Value result = in.emptyList();
  for (ListWalk w(in, argv[0]); !w.atEnd(); w.next()) result = cons(in, w.pair()->car(), result);
  return result;
}
static const Builtin kReverse("reverse", reverse, ".");

// k steps to the cdr, each from a pair; zero or negative k gives the list.
static Value listTail(Interpreter& in, int32_t argc, Value* argv) {
  ListWalk w(in, argv[0]);
  for (int32_t k = argv[1].number(); k > 0; --k) {
    w.pair();
    w.next();
  }
  return w.cell();
}
static const Builtin kListTail("list-tail", listTail, ".n");

// The car of the cell k steps on; zero or negative k gives the first element.
static Value listRef(Interpreter& in, int32_t argc, Value* argv) {
  ListWalk w(in, argv[0]);
  for (int32_t k = argv[1].number(); k > 0; --k) {
    w.pair();
    w.next();
  }
  return w.pair()->car();
}
static const Builtin kListRef("list-ref", listRef, ".n");

// ---- Membership and association -------------------------------------------

static Value memq(Interpreter& in, int32_t argc, Value* argv) {
  return memberWalk(in, argv[1], argv[0], compareEq);
}
static const Builtin kMemq("memq", memq, "..");

static Value memv(Interpreter& in, int32_t argc, Value* argv) {
  return memberWalk(in, argv[1], argv[0], compareEqv);
}
static const Builtin kMemv("memv", memv, "..");

static Value member(Interpreter& in, int32_t argc, Value* argv) {
  return memberWalk(in, argv[1], argv[0], compareEqual);
}
static const Builtin kMember("member", member, "..");

static Value assq(Interpreter& in, int32_t argc, Value* argv) {
  return associationWalk(in, argv[1], argv[0], compareEq);
}
static const Builtin kAssq("assq", assq, "..");

static Value assv(Interpreter& in, int32_t argc, Value* argv) {
  return associationWalk(in, argv[1], argv[0], compareEqv);
}
static const Builtin kAssv("assv", assv, "..");

static Value assoc(Interpreter& in, int32_t argc, Value* argv) {
  return associationWalk(in, argv[1], argv[0], compareEqual);
}
static const Builtin kAssoc("assoc", assoc, "..");

}  // namespace scheme
