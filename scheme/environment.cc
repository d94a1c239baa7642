#include "scheme/environment.h"

#include "scheme/interpreter.h"

namespace scheme {

// ---- Lookup and assignment ---------------------------------------------
// Iterative over the chain, so deep lexical nesting costs no native stack.

Value Environment::lookup(Symbol* s) {
  for (Environment* f = this; f != nullptr;) {
    Environment* next = nullptr;
    if (Value* slot = f->findSlot(s, &next)) return *slot;
    f = next;
  }
  return Value();
}

bool Environment::assign(Symbol* s, Value v) {
  for (Environment* f = this; f != nullptr;) {
    Environment* next = nullptr;
    if (Value* slot = f->findSlot(s, &next)) {
      *slot = v;
      return true;
    }
    f = next;
  }
  return false;
}

Value* Environment::findSlot(Symbol* s, Environment** next) {
  switch (kind_) {
    case Kind::TopLevel:
      return static_cast<TopLevelFrame*>(this)->findLocal(s, next);
    case Kind::Call:
      return static_cast<CallFrame*>(this)->findLocal(s, next);
    case Kind::Let:
      return static_cast<LetFrame*>(this)->findLocal(s, next);
    case Kind::Body:
      return static_cast<BodyFrame*>(this)->findLocal(s, next);
  }
  *next = nullptr;
  return nullptr;
}

Value* TopLevelFrame::findLocal(Symbol*, Environment** next) {
  *next = nullptr;
  return nullptr;
}

Value* CallFrame::findLocal(Symbol* s, Environment** next) {
  Value formals = closure_->formals();
  Value target = s;
  for (int32_t i = 0;; ++i) {
    if (isPair(formals)) {
      Pair* p = as<Pair>(formals);
      if (p->car() == target) return &slots_[i];
      formals = p->cdr();
    } else {
      // The rest parameter, or the end of a fixed list.
      if (formals == target) return &slots_[i];
      break;
    }
  }
  *next = closure_->environment();
  return nullptr;
}

Value* LetFrame::findLocal(Symbol* s, Environment** next) {
  Value target = s;
  Value b = bindings_;
  for (int32_t i = 0; i < count_; ++i, b = as<Pair>(b)->cdr()) {
    if (as<Pair>(as<Pair>(b)->car())->car() == target) return &slots_[i];
  }
  *next = parent();
  return nullptr;
}

Value* BodyFrame::findLocal(Symbol* s, Environment** next) {
  Value target = s;
  Value d = definitions_;
  // The scan that made this frame validated exactly count_ definitions.
  for (int32_t i = 0; i < count_; ++i, d = as<Pair>(d)->cdr()) {
    Value name = as<Pair>(as<Pair>(as<Pair>(d)->car())->cdr())->car();
    if (name == target || (isPair(name) && as<Pair>(name)->car() == target)) return &slots_[i];
  }
  *next = parent();
  return nullptr;
}

// ---- What a frame answers for ------------------------------------------
// Let and body frames answer as the frame they were entered from.

namespace {

Environment* outerOf(const Environment* f) {
  while (f != nullptr &&
         (f->kind() == Environment::Kind::Let || f->kind() == Environment::Kind::Body))
    f = f->parent();
  return const_cast<Environment*>(f);
}

}  // namespace

const SourceTable* LetFrame::sourceTable() const {
  Environment* f = outerOf(this);
  return f ? f->sourceTable() : nullptr;
}

Closure* LetFrame::procedure() const {
  Environment* f = outerOf(this);
  return f ? f->procedure() : nullptr;
}

const SourceTable* BodyFrame::sourceTable() const {
  Environment* f = outerOf(this);
  return f ? f->sourceTable() : nullptr;
}

Closure* BodyFrame::procedure() const {
  Environment* f = outerOf(this);
  return f ? f->procedure() : nullptr;
}

// ---- Running frames -----------------------------------------------------

Value TopLevelFrame::eval(Interpreter& in) {
  in.enterFrame(this);
  Value result = in.force(topExpression_);
  in.leaveFrame(this);
  return result;
}

Value CallFrame::eval(Interpreter& in) {
  in.enterFrame(this);
  Value result = in.runBody(closure_->body());
  in.leaveFrame(this);
  in.releaseFrame(this);
  return result;
}

Value LetFrame::eval(Interpreter& in) {
  in.enterFrame(this);
  if (recursive_) {
    Value b = bindings_;
    for (int32_t i = 0; i < count_; ++i, b = as<Pair>(b)->cdr()) {
      Pair* binding = as<Pair>(as<Pair>(b)->car());
      Value v = in.force(as<Pair>(binding->cdr())->car());
      in.setVariable(as<Symbol>(binding->car()), v);
    }
  }
  Value result = in.runBody(body_);
  in.leaveFrame(this);
  in.releaseFrame(this);
  return result;
}

Value BodyFrame::eval(Interpreter& in) {
  in.enterFrame(this);
  Value d = definitions_;
  for (int32_t i = 0; i < count_; ++i, d = as<Pair>(d)->cdr()) {
    Pair* definition = as<Pair>(as<Pair>(d)->car());
    Pair* rest = as<Pair>(definition->cdr());
    Value target = rest->car();
    if (isType(target, TypeCode::Symbol)) {
      slots_[i] = in.force(as<Pair>(rest->cdr())->car());
    } else {
      Pair* head = as<Pair>(target);
      slots_[i] = in.makeClosure(head->car(), head->cdr(), rest->cdr(), sourceTable());
    }
  }
  Value result = in.evalBody(rest_);
  in.leaveFrame(this);
  in.releaseFrame(this);
  return result;
}

// ---- Closures -----------------------------------------------------------

Value Closure::apply(Interpreter& in, int32_t argc, Value* argv) {
  int32_t p = paramCount_;
  CallFrame* frame;
  if (rest_) {
    if (argc < p - 1) in.error("Wrong number of arguments", this);
    Value list = in.emptyList();
    for (int32_t i = argc - 1; i >= p - 1; --i) list = cons(in, argv[i], list);
    frame = in.makeFrame<CallFrame>(p, list, this);
    for (int32_t i = 0; i < p - 1; ++i) frame->slots()[i] = argv[i];
  } else {
    if (argc != p) in.error("Wrong number of arguments", this);
    frame = in.makeFrame<CallFrame>(p, Value(), this);
    for (int32_t i = 0; i < p; ++i) frame->slots()[i] = argv[i];
  }
  return frame;
}

}  // namespace scheme
