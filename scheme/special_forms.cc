// The twelve special forms. Each gets its operands unevaluated and the
// whole form, which is the culprit of its syntax errors. Expressions in tail
// position go back to the evaluator through deferTail and deferBody.

#include "common/bounds.h"
#include "scheme/environment.h"
#include "scheme/interpreter.h"
#include "scheme/registry.h"

namespace scheme {

namespace {

using pendra::kMaxLetVariables;

Value car(Value v) { return as<Pair>(v)->car(); }
Value cdr(Value v) { return as<Pair>(v)->cdr(); }

void needPair(Interpreter& in, Value v) { checkType(in, TypeCode::Pair, v); }

const SourceTable* currentTable(Interpreter& in) {
  Environment* frame = in.currentFrame();
  return frame != nullptr ? frame->sourceTable() : nullptr;
}

}  // namespace

// ---- quote, define, lambda -----------------------------------------------

static Value quoteForm(Interpreter& in, Value args, Value form) {
  needPair(in, args);
  if (cdr(args) != in.emptyList()) in.error("Bad quote syntax", form);
  return car(args);
}
static const Syntax kQuote("quote", quoteForm);

static Value defineForm(Interpreter& in, Value args, Value form) {
  needPair(in, args);
  needPair(in, cdr(args));
  Environment* frame = in.currentFrame();
  if (frame == nullptr || frame->topLevel() == nullptr) in.error("Define not allowed here", form);
  Value target = car(args);
  if (!isType(target, TypeCode::Symbol)) {
    needPair(in, target);
    checkType(in, TypeCode::Symbol, car(target));
    Value closure = in.makeClosure(car(target), cdr(target), cdr(args), frame->sourceTable());
    as<Symbol>(car(target))->setGlobalValue(closure);
  } else {
    if (cdr(cdr(args)) != in.emptyList()) in.error("Bad define syntax", form);
    as<Symbol>(target)->setGlobalValue(in.force(car(cdr(args))));
  }
  return in.unspecified();
}
static const Syntax kDefine("define", defineForm);

static Value lambdaForm(Interpreter& in, Value args, Value form) {
  needPair(in, args);
  return in.makeClosure(in.unspecified(), car(args), cdr(args), currentTable(in));
}
static const Syntax kLambda("lambda", lambdaForm);

// ---- if, set!, begin ------------------------------------------------------

static Value ifForm(Interpreter& in, Value args, Value form) {
  needPair(in, args);
  needPair(in, cdr(args));
  if (in.force(car(args)) != in.falseValue()) return in.deferTail(car(cdr(args)));
  Value alternative = cdr(cdr(args));
  if (alternative == in.emptyList()) return in.unspecified();
  return in.deferBody(alternative);
}
static const Syntax kIf("if", ifForm);

static Value setForm(Interpreter& in, Value args, Value form) {
  needPair(in, args);
  needPair(in, cdr(args));
  checkType(in, TypeCode::Symbol, car(args));
  if (cdr(cdr(args)) != in.emptyList()) in.error("Bad set! syntax", form);
  Value v = in.force(car(cdr(args)));
  in.setVariable(as<Symbol>(car(args)), v);
  return in.unspecified();
}
static const Syntax kSet("set!", setForm);

static Value beginForm(Interpreter& in, Value args, Value form) { return in.deferBody(args); }
static const Syntax kBegin("begin", beginForm);

// ---- and, or --------------------------------------------------------------
// Neither has a tail position: every operand is evaluated completely.

static Value andForm(Interpreter& in, Value args, Value form) {
  Value result = in.trueValue();
  for (Value cell = args; cell != in.emptyList(); cell = cdr(cell)) {
    needPair(in, cell);
    result = in.force(car(cell));
    if (result == in.falseValue()) break;
  }
  return result;
}
static const Syntax kAnd("and", andForm);

static Value orForm(Interpreter& in, Value args, Value form) {
  Value result = in.falseValue();
  for (Value cell = args; cell != in.emptyList(); cell = cdr(cell)) {
    needPair(in, cell);
    result = in.force(car(cell));
    if (result != in.falseValue()) break;
  }
  return result;
}
static const Syntax kOr("or", orForm);

// ---- cond, case -------------------------------------------------------------
// else and => are known by identity with the interned symbols.

static Value condForm(Interpreter& in, Value args, Value form) {
  for (Value cell = args; cell != in.emptyList(); cell = cdr(cell)) {
    needPair(in, cell);
    Value clause = car(cell);
    needPair(in, clause);
    Value test = car(clause);
    Value rest = cdr(clause);
    if (test == Value(in.elseSymbol())) {
      if (cdr(cell) != in.emptyList()) in.error("Else must be last clause in cond", form);
      return in.deferBody(rest);
    }
    if (isPair(rest) && car(rest) == Value(in.arrowSymbol())) {
      Value after = cdr(rest);
      needPair(in, after);
      if (cdr(after) != in.emptyList()) in.error("Bad cond syntax", form);
      Value v = in.force(test);
      if (v == in.falseValue()) continue;
      Value receiver = in.force(car(after));
      // Applied as a call form applies its operator, with the form current.
      if (in.currentFrame() != nullptr) in.currentFrame()->setExpression(form);
      if (!receiver.isObject()) in.error("Not callable", receiver);
      return receiver.object()->apply(in, 1, &v);  // a pending call stays pending
    }
    Value v = in.force(test);
    if (v == in.falseValue()) continue;
    if (rest == in.emptyList()) return v;
    return in.deferBody(rest);
  }
  return in.unspecified();
}
static const Syntax kCond("cond", condForm);

static Value caseForm(Interpreter& in, Value args, Value form) {
  needPair(in, args);
  Value key = in.force(car(args));
  for (Value cell = cdr(args); cell != in.emptyList(); cell = cdr(cell)) {
    needPair(in, cell);
    Value clause = car(cell);
    needPair(in, clause);
    needPair(in, cdr(clause));
    if (car(clause) == Value(in.elseSymbol())) {
      if (cdr(cell) != in.emptyList()) in.error("Else must be last clause in cond", form);
      return in.deferBody(cdr(clause));
    }
    for (Value data = car(clause); data != in.emptyList(); data = cdr(data)) {
      needPair(in, data);
      if (isEqv(car(data), key)) return in.deferBody(cdr(clause));
    }
  }
  return in.unspecified();
}
static const Syntax kCase("case", caseForm);

// ---- let, letrec ------------------------------------------------------------

static Value letShared(Interpreter& in, Value args, Value form, bool recursive) {
  needPair(in, args);
  Value body = cdr(args);
  needPair(in, body);
  Value bindings = car(args);
  needPair(in, bindings);
  // Slots for the bindings there are (at most the limit), filled as each
  // binding passes its checks.
  int32_t room = 0;
  for (Value c = bindings; isPair(c) && room < kMaxLetVariables; c = cdr(c)) ++room;
  LetFrame* frame = in.makeFrame<LetFrame>(room, in.unspecified(), bindings, 0, body, recursive);
  Value* slots = frame->slots();
  int32_t count = 0;
  for (Value cell = bindings; cell != in.emptyList(); cell = cdr(cell)) {
    needPair(in, cell);
    Value binding = car(cell);
    needPair(in, binding);
    checkType(in, TypeCode::Symbol, car(binding));
    needPair(in, cdr(binding));
    if (cdr(cdr(binding)) != in.emptyList()) in.error("Bad let syntax", form);
    if (count == kMaxLetVariables || count == room) in.error("Too many let variables", form);
    // let: the init sees the environment of the let form, not the new names.
    slots[count++] = recursive ? in.unspecified() : in.force(car(cdr(binding)));
  }
  frame->setCount(count);
  return frame->eval(in);
}

static Value letForm(Interpreter& in, Value args, Value form) {
  return letShared(in, args, form, false);
}
static const Syntax kLet("let", letForm);

static Value letrecForm(Interpreter& in, Value args, Value form) {
  return letShared(in, args, form, true);
}
static const Syntax kLetrec("letrec", letrecForm);

}  // namespace scheme
