// Builtins on vectors, the control procedures that call procedures from
// inside a builtin (apply, map, for-each), and output.
#include <cstdint>

#include "common/bounds.h"
#include "scheme/interpreter.h"
#include "scheme/objects.h"
#include "scheme/printer.h"
#include "scheme/registry.h"

namespace scheme {

namespace {

using pendra::kMaxArguments;
using pendra::kMaxVectorLength;

// Number of cells of a proper list: "Wrong type" naming a non-pair tail, or
// naming the list when it is circular (a half-speed cursor meets the walk).
int32_t properLength(Interpreter& in, Value list) {
  int32_t length = 0;
  Value slow = list;
  for (Value cell = list; cell != in.emptyList(); ++length) {
    checkType(in, TypeCode::Pair, cell);
    cell = as<Pair>(cell)->cdr();
    if (length % 2 == 1) slow = as<Pair>(slow)->cdr();
    if (cell == slow) in.error("Wrong type", list);
  }
  return length;
}

// "Vector index out of range" naming k unless 0 <= k < length.
int32_t checkIndex(Interpreter& in, Vector* v, Value k) {
  int32_t i = k.number();
  if (i < 0 || i >= v->length()) in.error("Vector index out of range", k);
  return i;
}

// The walk shared by map and for-each. Every list is measured before proc is
// first applied; each application is finished (pending frames run) before
// the next. Returns the results in order when collecting, else '().
Value mapWalk(Interpreter& in, int32_t argc, Value* argv, bool collect) {
  Value proc = argv[0];
  int32_t lists = argc - 1;
  int32_t count = properLength(in, argv[1]);
  for (int32_t j = 2; j < argc; ++j)
    if (properLength(in, argv[j]) != count) in.error("List lengths differ", argv[j]);

  Value cells[kMaxArguments];
  Value args[kMaxArguments];
  for (int32_t j = 0; j < lists; ++j) cells[j] = argv[j + 1];
  Value head = in.emptyList();
  Pair* tail = nullptr;
  for (int32_t i = 0; i < count; ++i) {
    // proc may have cut a list short with set-cdr! since it was measured.
    for (int32_t j = 0; j < lists; ++j) {
      checkType(in, TypeCode::Pair, cells[j]);
      args[j] = as<Pair>(cells[j])->car();
      cells[j] = as<Pair>(cells[j])->cdr();
    }
    Value result = in.call(proc, lists, args);
    if (!collect) continue;
    Value cell = cons(in, result, in.emptyList());
    if (tail)
      tail->setCdr(cell);
    else
      head = cell;
    tail = as<Pair>(cell);
  }
  return head;
}

}  // namespace

// ---- Vectors --------------------------------------------------------------

static Value vectorP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isType(argv[0], TypeCode::Vector));
}
static const Builtin kVectorP("vector?", vectorP, ".");

// The fill is the second argument (the unspecified value without one); any
// further arguments are ignored.
static Value makeVectorProc(Interpreter& in, int32_t argc, Value* argv) {
  int32_t length = argv[0].number();
  if (length < 0) in.error("vector length must be positive", argv[0]);
  if (length > kMaxVectorLength) in.error("Out of memory", argv[0]);
  return makeVector(in, length, argc > 1 ? argv[1] : in.unspecified());
}
static const Builtin kMakeVector("make-vector", makeVectorProc, "n*.");

static Value vector(Interpreter& in, int32_t argc, Value* argv) {
  Value v = makeVector(in, argc, in.unspecified());
  for (int32_t i = 0; i < argc; ++i) as<Vector>(v)->items()[i] = argv[i];
  return v;
}
static const Builtin kVector("vector", vector, "*.");

static Value vectorLength(Interpreter& in, int32_t argc, Value* argv) {
  return Value::makeNumber(as<Vector>(argv[0])->length());
}
static const Builtin kVectorLength("vector-length", vectorLength, "v");

static Value vectorRef(Interpreter& in, int32_t argc, Value* argv) {
  Vector* v = as<Vector>(argv[0]);
  return v->items()[checkIndex(in, v, argv[1])];
}
static const Builtin kVectorRef("vector-ref", vectorRef, "vn");

static Value vectorSet(Interpreter& in, int32_t argc, Value* argv) {
  Vector* v = as<Vector>(argv[0]);
  v->items()[checkIndex(in, v, argv[1])] = argv[2];
  return in.unspecified();
}
static const Builtin kVectorSet("vector-set!", vectorSet, "vn.");

static Value vectorToList(Interpreter& in, int32_t argc, Value* argv) {
  Vector* v = as<Vector>(argv[0]);
  Value result = in.emptyList();
  for (int32_t i = v->length() - 1; i >= 0; --i) result = cons(in, v->items()[i], result);
  return result;
}
static const Builtin kVectorToList("vector->list", vectorToList, "v");

static Value listToVector(Interpreter& in, int32_t argc, Value* argv) {
  int32_t length = properLength(in, argv[0]);
  Value v = makeVector(in, length, in.unspecified());
  Value cell = argv[0];
  for (int32_t i = 0; i < length; ++i, cell = as<Pair>(cell)->cdr())
    as<Vector>(v)->items()[i] = as<Pair>(cell)->car();
  return v;
}
static const Builtin kListToVector("list->vector", listToVector, ".");

static Value vectorFill(Interpreter& in, int32_t argc, Value* argv) {
  Vector* v = as<Vector>(argv[0]);
  for (int32_t i = 0; i < v->length(); ++i) v->items()[i] = argv[1];
  return in.unspecified();
}
static const Builtin kVectorFill("vector-fill!", vectorFill, "v.");

// ---- Control --------------------------------------------------------------

static Value procedureP(Interpreter& in, int32_t argc, Value* argv) {
  return in.boolean(isProcedure(argv[0]));
}
static const Builtin kProcedureP("procedure?", procedureP, ".");

// The arguments between proc and the last are taken as they are, then the
// last one's elements. proc's own apply result is returned unfinished: for a
// closure that is its pending frame, so apply in tail position is a tail call.
static Value applyProc(Interpreter& in, int32_t argc, Value* argv) {
  Value proc = argv[0];
  if (!isProcedure(proc)) in.error("Not a callable", proc);
  Value args[kMaxArguments];
  int32_t count = 0;
  for (int32_t i = 1; i < argc - 1; ++i) args[count++] = argv[i];
  Value list = argv[argc - 1];
  Value slow = list;
  bool lagging = false;
  for (Value cell = list; cell != in.emptyList();) {
    checkType(in, TypeCode::Pair, cell);
    if (count == kMaxArguments) in.error("Too many arguments", proc);
    args[count++] = as<Pair>(cell)->car();
    cell = as<Pair>(cell)->cdr();
    if (lagging) slow = as<Pair>(slow)->cdr();
    lagging = !lagging;
    if (cell == slow) in.error("Wrong type", list);
  }
  return proc.object()->apply(in, count, args);
}
static const Builtin kApply("apply", applyProc, "..*.");

static Value map(Interpreter& in, int32_t argc, Value* argv) {
  return mapWalk(in, argc, argv, true);
}
static const Builtin kMap("map", map, "..*.");

static Value forEach(Interpreter& in, int32_t argc, Value* argv) {
  mapWalk(in, argc, argv, false);
  return in.unspecified();
}
static const Builtin kForEach("for-each", forEach, "..*.");

// ---- Output ---------------------------------------------------------------

static Value writeProc(Interpreter& in, int32_t argc, Value* argv) {
  write(in, in.output(), argv[0]);
  return in.unspecified();
}
static const Builtin kWrite("write", writeProc, ".");

static Value displayProc(Interpreter& in, int32_t argc, Value* argv) {
  display(in, in.output(), argv[0]);
  return in.unspecified();
}
static const Builtin kDisplay("display", displayProc, ".");

static Value newline(Interpreter& in, int32_t argc, Value* argv) {
  in.output().putChar(u'\n');
  return in.unspecified();
}
static const Builtin kNewline("newline", newline, "");

}  // namespace scheme
