#include "scheme/interpreter.h"

#include <cassert>
#include <cstdlib>
#include <new>

#include "common/bounds.h"
#include "scheme/environment.h"
#include "scheme/printer.h"
#include "scheme/registry.h"

#if defined(__GLIBC__)
#include <pthread.h>
#elif defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace scheme {

namespace {

constexpr size_t kArenaChunk = 256 * 1024;
constexpr size_t kArgChunk = 16 * 1024;  // values per argument chunk
using pendra::kMaxArguments;
// Kept free from the start, and given back when memory runs out, so that
// the report can still be printed.
constexpr size_t kReserve = 64 * 1024;

// Error reports: values longer than this are cut, and a deeper backtrace
// shows only this many frames at each end.
constexpr int32_t kReportValueLimit = 1000;
constexpr size_t kFramesShownAtEachEnd = 10;

// Native stack kept free below the evaluator's lowest frame: room for the
// error report, the host's onError and any builtin between two checks.
constexpr uintptr_t kStackReserve = 512 * 1024;
// Without a way to ask for the thread's stack: the budget below the frame
// that constructs the interpreter.
constexpr uintptr_t kFallbackBudget = 768 * 1024;

uintptr_t frameAddress() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }

// The lowest address the evaluator may use on this thread's stack.
uintptr_t findStackLimit() {
  static thread_local uintptr_t limit = 0;
  if (limit != 0) return limit;
#if defined(__GLIBC__)
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    void* low = nullptr;
    size_t size = 0;
    if (pthread_attr_getstack(&attr, &low, &size) == 0 && size > 0) {
      uintptr_t reserve = size / 4 < kStackReserve ? size / 4 : kStackReserve;
      limit = reinterpret_cast<uintptr_t>(low) + reserve;
    }
    pthread_attr_destroy(&attr);
  }
#elif defined(_WIN32)
  // The stack's reservation starts at the allocation base of any address
  // on it.
  MEMORY_BASIC_INFORMATION info = {};
  if (VirtualQuery(reinterpret_cast<void*>(frameAddress()), &info, sizeof info) != 0) {
    auto low = reinterpret_cast<uintptr_t>(info.AllocationBase);
    uintptr_t size = frameAddress() - low;
    limit = low + (size / 4 < kStackReserve ? size / 4 : kStackReserve);
  }
#endif
  if (limit == 0) limit = frameAddress() - kFallbackBudget;
  return limit;
}

bool beginsWithDefinition(Value body, Symbol* define) {
  if (!isPair(body)) return false;
  Value first = as<Pair>(body)->car();
  return isPair(first) && as<Pair>(first)->car() == Value(define);
}

bool isFrame(Value v) { return v.isObject() && v.object()->typeCode() == TypeCode::Environment; }

}  // namespace

// ---- Construction and teardown -----------------------------------------

Interpreter::Interpreter(OutputPort& out, HostHooks& hooks) : out_(out), hooks_(hooks) {
  stackLimit_ = findStackLimit();
  reserve_ = ::operator new(kReserve, std::nothrow);
  argChunks_.push_back(new Value[kArgChunk]);
  argTop_ = argChunks_[0];
  argEnd_ = argTop_ + kArgChunk;

  false_ = make<Boolean>();
  true_ = make<Boolean>();
  unspecified_ = make<Unspecified>();
  emptyList_ = make<EmptyList>();
  eof_ = make<EndOfFile>();
  quote_ = internName("quote");
  arrow_ = internName("=>");
  else_ = internName("else");
  define_ = internName("define");
  for (const Builtin* b = Builtin::head(); b != nullptr; b = b->link()) registerBuiltin(*this, b);
  for (const Syntax* s = Syntax::head(); s != nullptr; s = s->link()) registerSyntax(*this, s);
}

Interpreter::~Interpreter() {
  // Free frames are poisoned in sanitizer builds; teardown destroys them too.
  for (int kind = 0; kind < 4; ++kind) {
    for (int32_t n = 0; n <= kReusedSlots; ++n) {
      for (Environment* f = freeFrames_[kind][n]; f != nullptr; f = f->parent())
        unpoison(f, frameBytes(kind, n));
    }
  }
  while (objects_ != nullptr) {
    Object* o = objects_;
    objects_ = o->next_;
    o->~Object();
  }
  for (char* chunk : chunks_) ::operator delete(chunk);
  for (Value* chunk : argChunks_) delete[] chunk;
  for (SourceTable* table : tableCopies_) delete table;
  ::operator delete(reserve_);
}

void* Interpreter::allocate(size_t bytes) {
  bytes = (bytes + 7) & ~static_cast<size_t>(7);
  if (bytes > static_cast<size_t>(limit_ - cursor_)) {
    // A large block gets a chunk of its own; the current one stays open.
    bool own = bytes > kArenaChunk / 4;
    size_t size = own ? bytes : kArenaChunk;
    if (size > heapLimit_ || heapBytes_ > heapLimit_ - size) outOfMemory();
    auto* chunk = static_cast<char*>(::operator new(size, std::nothrow));
    if (chunk == nullptr) outOfMemory();
    chunks_.push_back(chunk);
    heapBytes_ += size;
    if (own) {
      allocated_ += bytes;
      return chunk;
    }
    cursor_ = chunk;
    limit_ = chunk + kArenaChunk;
  }
  allocated_ += bytes;
  void* p = cursor_;
  cursor_ += bytes;
  return p;
}

void Interpreter::outOfMemory() {
  ::operator delete(reserve_);
  reserve_ = nullptr;
  error("Out of memory", current_ != nullptr ? current_->expression() : Value());
}

Value* Interpreter::allocateSlots(int32_t n, Value fill) {
  auto* slots = static_cast<Value*>(allocate(static_cast<size_t>(n) * sizeof(Value)));
  for (int32_t i = 0; i < n; ++i) slots[i] = fill;
  return slots;
}

// ---- Frame reuse ---------------------------------------------------------
// Nothing reachable is ever freed, but a left frame is garbage unless a
// closure may refer to it: a closure's environment is the frame current when
// it was made, and through parent links every let and body frame around it
// up to its call frame. makeClosure marks those frames captured; they are
// kept for good. Any other call, let or body frame is reachable from nothing
// once it is left: a call frame's parent link is cleared, frames entered
// from it are gone, and values (pending calls included) refer to closures,
// never to frames. Frames on the evaluation stack when an error is reported
// are never left, so they stay as the report shows them.

size_t Interpreter::frameBytes(int kind, int32_t n) {
  size_t head = 0;
  switch (static_cast<Environment::Kind>(kind)) {
    case Environment::Kind::TopLevel:
      head = sizeof(TopLevelFrame);
      break;
    case Environment::Kind::Call:
      head = sizeof(CallFrame);
      break;
    case Environment::Kind::Let:
      head = sizeof(LetFrame);
      break;
    case Environment::Kind::Body:
      head = sizeof(BodyFrame);
      break;
  }
  head = (head + 7) & ~static_cast<size_t>(7);
  return head + static_cast<size_t>(n) * sizeof(Value);
}

void Interpreter::releaseFrame(Environment* frame) {
  int32_t n = frame->slotCount();
  if (!reuseFrames_ || frame->captured() || n > kReusedSlots) return;
  Environment*& list = freeFrames_[static_cast<int>(frame->kind())][n];
  frame->setParent(list);
  list = frame;
#if defined(PENDRA_POISON_FRAMES)
  ASAN_POISON_MEMORY_REGION(frame, frameBytes(static_cast<int>(frame->kind()), n));
#endif
}

// ---- Argument stack -----------------------------------------------------

Value* Interpreter::pushArgs(int32_t count, ArgMark& mark) {
  mark.top = argTop_;
  mark.chunk = argChunk_;
  if (argEnd_ - argTop_ < count) {
    if (++argChunk_ == argChunks_.size()) argChunks_.push_back(new Value[kArgChunk]);
    argTop_ = argChunks_[argChunk_];
    argEnd_ = argTop_ + kArgChunk;
  }
  Value* args = argTop_;
  argTop_ += count;
  return args;
}

void Interpreter::popArgs(const ArgMark& mark) {
  argTop_ = mark.top;
  if (argChunk_ != mark.chunk) {
    argChunk_ = mark.chunk;
    argEnd_ = argChunks_[argChunk_] + kArgChunk;
  }
}

// ---- Evaluation -----------------------------------------------------------
// force is the one native frame per level of non-tail nesting: it runs a
// closure's body itself and continues deferred tail expressions of special
// forms in the same loop, so only operands and non-final body expressions
// nest on the native stack.

Value Interpreter::force(Value x) {
  if (!x.isObject()) return x;
  checkStack(x);
  Environment* open = nullptr;  // a call frame whose last body expression runs here
  for (;;) {
    Value r;
    if (!x.isObject()) {
      r = x;
    } else {
      Object* o = x.object();
      switch (o->typeCode()) {
        case TypeCode::Pair:
          r = evalCall(x);
          break;
        case TypeCode::Symbol:
          r = evalSymbol(static_cast<Symbol*>(o));
          break;
        case TypeCode::Environment:
          if (static_cast<Environment*>(o)->kind() == Environment::Kind::Call) {
            auto* frame = static_cast<CallFrame*>(o);
            enterFrame(frame);
            open = frame;
            Value body = frame->closure()->body();
            if (beginsWithDefinition(body, define_)) {
              r = runBody(body);
              break;
            }
            checkType(*this, TypeCode::Pair, body);
            while (as<Pair>(body)->cdr() != emptyList_) {
              force(as<Pair>(body)->car());
              body = as<Pair>(body)->cdr();
              checkType(*this, TypeCode::Pair, body);
            }
            x = as<Pair>(body)->car();
            continue;
          }
          r = o->eval(*this);
          break;
        default:
          r = o->eval(*this);
          break;
      }
    }
    if (r.isNone()) {  // a special form deferred its tail expression
      x = tailExpr_;
      continue;
    }
    if (open != nullptr) {
      leaveFrame(open);
      releaseFrame(open);
      open = nullptr;
    }
    if (!isFrame(r)) return r;
    x = r;
  }
}

// Special forms reach here without passing force (let, letrec and bodies in
// tail position nest through it), so the stack is checked here too.
Value Interpreter::tailEval(Value x) {
  checkStack(x);
  for (;;) {
    if (!x.isObject()) return x;
    Object* o = x.object();
    Value r;
    if (o->typeCode() == TypeCode::Pair)
      r = evalCall(x);
    else if (o->typeCode() == TypeCode::Symbol)
      r = evalSymbol(static_cast<Symbol*>(o));
    else
      r = o->eval(*this);
    if (!r.isNone()) return r;
    x = tailExpr_;
  }
}

Value Interpreter::forceAllButLast(Value body) {
  checkType(*this, TypeCode::Pair, body);
  while (as<Pair>(body)->cdr() != emptyList_) {
    force(as<Pair>(body)->car());
    body = as<Pair>(body)->cdr();
    checkType(*this, TypeCode::Pair, body);
  }
  return as<Pair>(body)->car();
}

Value Interpreter::evalBody(Value body) { return tailEval(forceAllButLast(body)); }

Value Interpreter::deferTail(Value expr) {
  if (isPair(expr)) {
    tailExpr_ = expr;
    return Value();
  }
  return tailEval(expr);
}

Value Interpreter::deferBody(Value body) { return deferTail(forceAllButLast(body)); }

// Leading internal definitions are all checked before any is evaluated,
// then bound at once in a new BodyFrame.
Value Interpreter::runBody(Value body) {
  if (!beginsWithDefinition(body, define_)) return evalBody(body);
  int32_t count = 0;
  Value pos = body;
  while (pos != emptyList_) {
    checkType(*this, TypeCode::Pair, pos);
    Value d = as<Pair>(pos)->car();
    if (!isPair(d) || as<Pair>(d)->car() != Value(define_)) break;
    Value rest = as<Pair>(d)->cdr();
    checkType(*this, TypeCode::Pair, rest);
    checkType(*this, TypeCode::Pair, as<Pair>(rest)->cdr());
    Value target = as<Pair>(rest)->car();
    if (!isType(target, TypeCode::Symbol)) {
      checkType(*this, TypeCode::Pair, target);
      checkType(*this, TypeCode::Symbol, as<Pair>(target)->car());
    } else if (as<Pair>(as<Pair>(rest)->cdr())->cdr() != emptyList_) {
      error("Bad define syntax", d);
    }
    ++count;
    pos = as<Pair>(pos)->cdr();
  }
  return makeFrame<BodyFrame>(count, unspecified_, body, count, pos)->eval(*this);
}

Value Interpreter::evalSymbol(Symbol* s) {
  if (current_ != nullptr) {
    Value v = current_->lookup(s);
    if (!v.isNone()) return v;
  }
  if (s->globalValue().isNone()) error("Undefined symbol", s);
  return s->globalValue();
}

Value Interpreter::evalCall(Value form) {
  Pair* call = as<Pair>(form);
  if (current_ != nullptr) current_->setExpression(form);
  Value head = call->car();
  Value op = isType(head, TypeCode::Symbol) ? evalSymbol(as<Symbol>(head)) : force(head);
  if (isType(op, TypeCode::SpecialForm)) {
    if (current_ != nullptr) current_->setExpression(form);
    return op.object()->applySyntax(*this, call->cdr(), form);
  }
  // Room for the arguments, and for one more: storing a 128th is an error.
  int32_t room = 0;
  for (Value a = call->cdr(); isPair(a) && room <= kMaxArguments; a = as<Pair>(a)->cdr()) ++room;
  ArgMark mark;
  Value* args = pushArgs(room, mark);
  int32_t count = 0;
  for (Value a = call->cdr(); a != emptyList_; a = as<Pair>(a)->cdr()) {
    checkType(*this, TypeCode::Pair, a);
    if (count == room) error("Too many arguments", form);  // only if the form changed
    if (current_ != nullptr) current_->setExpression(form);
    Value e = as<Pair>(a)->car();
    args[count++] = isType(e, TypeCode::Symbol) ? evalSymbol(as<Symbol>(e)) : force(e);
    if (count > kMaxArguments) error("Too many arguments", form);
  }
  if (current_ != nullptr) current_->setExpression(form);
  if (!op.isObject()) error("Not callable", op);
  if (callsLeft_ != 0 && --callsLeft_ == 0) error("Too many calls", form);
  Value result = op.object()->apply(*this, count, args);
  assert(!result.isNone());  // none stands for a deferred tail expression
  popArgs(mark);
  return result;
}

Value Pair::eval(Interpreter& in) { return in.tailEval(this); }

Value Interpreter::finish(Value v) { return isFrame(v) ? force(v) : v; }

Value Interpreter::call(Value proc, int32_t argc, Value* argv) {
  if (!proc.isObject()) error("Not callable", proc);
  if (callsLeft_ != 0 && --callsLeft_ == 0) error("Too many calls", proc);
  return finish(proc.object()->apply(*this, argc, argv));
}

void Interpreter::setVariable(Symbol* s, Value v) {
  if (current_ == nullptr || !current_->assign(s, v)) s->setGlobalValue(v);
}

void Interpreter::enterFrame(Environment* frame) {
  frame->setParent(current_);
  current_ = frame;
}

void Interpreter::leaveFrame(Environment* frame) {
  current_ = frame->parent();
  Environment::Kind kind = frame->kind();
  if (kind == Environment::Kind::Call || kind == Environment::Kind::TopLevel)
    frame->setParent(nullptr);
}

Value Interpreter::evalTopLevel(Value expr, const SourceTable* table) {
  size_t shares = tableShares_.size();
  ++topLevels_;
  Value result = make<TopLevelFrame>(expr, table)->eval(*this);
  --topLevels_;
  tableShares_.resize(shares);
  return result;
}

Value Interpreter::makeClosure(Value name, Value formals, Value body, const SourceTable* table) {
  int32_t count = 0;
  bool rest = false;
  Value pos = formals;
  while (!isType(pos, TypeCode::Symbol)) {
    if (pos == emptyList_) break;
    if (!isPair(pos) || !isType(as<Pair>(pos)->car(), TypeCode::Symbol))
      error("Bad formal list for lambda", formals);
    ++count;
    pos = as<Pair>(pos)->cdr();
  }
  if (isType(pos, TypeCode::Symbol)) {
    ++count;
    rest = true;
  }
  const SourceTable* copy = table != nullptr ? shareTable(table) : nullptr;
  // The new closure keeps the current frame and the let and body frames
  // around it, up to their call frame, from reuse.
  for (Environment* f = current_; f != nullptr && !f->captured(); f = f->parent()) {
    f->setCaptured();
    Environment::Kind kind = f->kind();
    if (kind != Environment::Kind::Let && kind != Environment::Kind::Body) break;
  }
  return make<Closure>(name, formals, count, rest, body, current_, copy);
}

// A closure keeps a copy of its table because the host discards its own
// after the read. One copy serves every closure made under the same host
// table during one top-level evaluation.
const SourceTable* Interpreter::shareTable(const SourceTable* table) {
  if (ownedTables_.count(table) != 0) return table;
  for (const auto& share : tableShares_)
    if (share.first == table) return share.second;
  auto* copy = new SourceTable(*table);
  copy->entries.shrink_to_fit();
  tableCopies_.push_back(copy);
  ownedTables_.insert(copy);
  // Outside a top-level evaluation the host's table may be reused for other
  // text at the same address, so no share is remembered there.
  if (topLevels_ > 0) tableShares_.emplace_back(table, copy);
  return copy;
}

// ---- Errors -----------------------------------------------------------------

void Interpreter::checkStack(Value culprit) {
  if (frameAddress() < stackLimit_) error("Recursion too deep", culprit);
}

void Interpreter::error(const char* message, Value culprit) {
  if (reporting_) {
    // An error while printing a report: give up on the report.
    reporting_ = false;
    resetAfterError();
    hooks_.onError();
    std::abort();
  }
  reporting_ = true;
  out_.putText(message);
  out_.putText(": ");
  writeLimited(*this, out_, culprit, kReportValueLimit);
  out_.putText("\n\n");
  size_t frames = 0;
  for (Environment* f = current_; f != nullptr; f = f->parent()) ++frames;
  Closure* last = nullptr;
  size_t index = 0;
  for (Environment* f = current_; f != nullptr; f = f->parent(), ++index) {
    if (backtraceLimit_ != 0 && index == backtraceLimit_) break;
    if (index == kFramesShownAtEachEnd && frames > 2 * kFramesShownAtEachEnd + 1) {
      // A deep recursion: only the innermost and the outermost frames.
      size_t skipped = frames - 2 * kFramesShownAtEachEnd;
      char16_t digits[33];
      out_.putText("    ... ");
      out_.putUnits(digits, formatInteger(static_cast<int32_t>(skipped), digits, 10));
      out_.putText(" frames left out\n");
      for (size_t i = 1; i < skipped; ++i) f = f->parent();
      index += skipped - 1;
      last = nullptr;  // the outer part starts with its own heading
      continue;
    }
    reportFrame(f, last);
  }
  reporting_ = false;
  resetAfterError();
  hooks_.onError();
  std::abort();  // onError must not return
}

// One frame of the backtrace: its heading when it starts a new activation,
// then the expression it runs with file and line.
void Interpreter::reportFrame(Environment* f, Closure*& last) {
  Closure* p = f->procedure();
  if (p == nullptr) {
    // A let or body frame entered directly at top level has no top-level
    // frame of its own: show the expression of the nearest one.
    Environment* top = f;
    while (top != nullptr && top->topLevel() == nullptr) top = top->parent();
    out_.putText("eval ");
    writeLimited(*this, out_, top != nullptr ? top->topLevel()->topExpression() : Value(),
                 kReportValueLimit);
    out_.putText("\n");
  } else if (p != last) {
    if (p->name() != unspecified_) {
      writeLimited(*this, out_, p->name(), kReportValueLimit);
      out_.putText(" ");
    }
    write(*this, out_, p);
    out_.putText("\n");
    last = p;
  }
  out_.putText("    ");
  if (const SourceTable* table = f->sourceTable()) {
    out_.putUnits(table->fileName.data(), static_cast<int32_t>(table->fileName.size()));
    int32_t line = 0;
    if (table->findLine(f->expression(), &line)) {
      char16_t digits[33];
      out_.putText("(");
      out_.putUnits(digits, formatInteger(line, digits, 10));
      out_.putText(")");
    }
    out_.putText(": ");
  }
  writeLimited(*this, out_, f->expression(), kReportValueLimit);
  out_.putText("\n");
}

void Interpreter::resetAfterError() {
  current_ = nullptr;
  argChunk_ = 0;
  argTop_ = argChunks_[0];
  argEnd_ = argTop_ + kArgChunk;
  tableShares_.clear();
  topLevels_ = 0;
}

}  // namespace scheme
