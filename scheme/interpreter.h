// The interpreter: its singletons, symbol table, evaluation entry points,
// error report and the arena that holds every object it makes.
#ifndef PENDRA_SCHEME_INTERPRETER_H_
#define PENDRA_SCHEME_INTERPRETER_H_

#include <cstddef>
#include <cstdint>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/bounds.h"
#include "scheme/host.h"
#include "scheme/objects.h"
#include "scheme/symbol.h"
#include "scheme/value.h"

// Sanitizer builds poison the frames waiting for reuse, so that any use of
// a frame after it was left shows up as a use after free.
#if defined(__SANITIZE_ADDRESS__)
#define PENDRA_POISON_FRAMES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PENDRA_POISON_FRAMES 1
#endif
#endif
#if defined(PENDRA_POISON_FRAMES)
#include <sanitizer/asan_interface.h>
#endif

namespace scheme {

class Closure;
class Environment;

class Interpreter {
 public:
  // Makes the singletons, interns quote, =>, else and define, then installs
  // every registered builtin and special form.
  Interpreter(OutputPort& out, HostHooks& hooks);
  // Teardown: destroys every object exactly once, newest first.
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  Value falseValue() const { return false_; }
  Value trueValue() const { return true_; }
  Value boolean(bool b) const { return b ? true_ : false_; }
  Value unspecified() const { return unspecified_; }
  Value emptyList() const { return emptyList_; }
  Value eof() const { return eof_; }
  Symbol* quoteSymbol() const { return quote_; }
  Symbol* arrowSymbol() const { return arrow_; }
  Symbol* elseSymbol() const { return else_; }
  Symbol* defineSymbol() const { return define_; }

  // ---- Evaluation -------------------------------------------------------
  // Evaluates completely: runs every pending call returned.
  Value force(Value v);
  // One evaluation step; may return a pending call (an unrun frame).
  Value tailEval(Value v);
  // Every element but the last forced; the last in tail position.
  Value evalBody(Value body);
  // The host's entry: evaluates a datum in a new top-level frame. The table
  // is referenced, not copied, and must outlive the call.
  Value evalTopLevel(Value expr, const SourceTable* table);
  // A closure over the current frame; checks the formals. The closure keeps
  // a copy of the table (shared with other closures made under it).
  Value makeClosure(Value name, Value formals, Value body, const SourceTable* table);
  // Runs pending calls (frames) until a value results. A value that is not a
  // pending call is returned as it is, never evaluated again.
  Value finish(Value v);
  // Applies a procedure (from the host or from a builtin such as map) and
  // finishes the result. "Not callable" for anything but a procedure.
  Value call(Value proc, int32_t argc, Value* argv);
  // Set! semantics: the innermost frame binding s, else its global cell.
  void setVariable(Symbol* s, Value v);

  // For special forms only, as the result of a SyntaxFunction: expr in tail
  // position. A call is not evaluated here but handed back to the evaluator
  // (as a none word) to be run in the current frame without nesting.
  Value deferTail(Value expr);
  // For special forms only: a body (see evalBody) whose last element is
  // deferred as by deferTail.
  Value deferBody(Value body);
  // Runs a body as a procedure body runs: in a BodyFrame when it begins with
  // internal definitions, else as evalBody. May return a pending call.
  Value runBody(Value body);

  // Frame bookkeeping for the frames' eval.
  void enterFrame(Environment* frame);
  // Clears the parent link of call and top-level frames.
  void leaveFrame(Environment* frame);
  // After leaveFrame: hands a call, let or body frame back for reuse unless
  // something may still refer to it. REQUIRES: frame is not current and was
  // made by makeFrame.
  void releaseFrame(Environment* frame);
  // Frame reuse is on by default; tests compare runs with it off.
  void setFrameReuse(bool on) { reuseFrames_ = on; }

  // "Out of memory" naming the current expression (none without a frame),
  // through the usual report. The heap limit and failed allocations end
  // here; a host may call it from its new-handler.
  [[noreturn]] void outOfMemory();

  // "Recursion too deep" naming culprit when the native stack is close to
  // its end. Anything that recurses on the native stack over user data
  // calls this at every level.
  void checkStack(Value culprit);

  // Prints "message: culprit", a blank line and the backtrace on the output
  // port, then calls the host's onError. Never returns. A none culprit
  // prints as "#<none>". Every value is cut at 1,000 characters; a
  // backtrace of more than 21 frames shows the 10 innermost and the 10
  // outermost with "    ... N frames left out" between them.
  [[noreturn]] void error(const char* message, Value culprit = Value());
  // Error reports show at most this many frames of the backtrace, the
  // innermost; 0, the default, shows them all (cut as error says).
  void setBacktraceLimit(size_t frames) { backtraceLimit_ = frames; }
  // True from the start of an error report until onError is called; lets a
  // port tell the report from the output before it.
  bool reportingError() const { return reporting_; }
  // Ends evaluation with the error "Too many calls" once this many more
  // procedures have been applied; 0, the default, sets no limit. For hosts
  // that must bound how long a text can run, such as the fuzzing harnesses.
  void setCallLimit(uint64_t calls) { callsLeft_ = calls; }

  // ---- Symbols ----------------------------------------------------------
  Symbol* intern(int32_t length, const char16_t* units);
  // Bytes sign-extended to units; "Symbol too long" at 128 characters.
  Symbol* internName(const char* name);

  Environment* currentFrame() const { return current_; }
  OutputPort& output() const { return out_; }
  HostHooks& hooks() const { return hooks_; }

  // ---- Memory -----------------------------------------------------------
  // A new heap object in the arena, linked into the object list.
  template <class T, class... Args>
  T* make(Args&&... args) {
    T* o = new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    o->next_ = objects_;
    objects_ = o;
    ++objectCount_;
    return o;
  }
  // A frame of class F with n slots right after it, each set to fill, the
  // slots pointer first among the constructor's arguments: a left frame of
  // the same kind and size when one is free, else new arena memory.
  template <class F, class... Args>
  F* makeFrame(int32_t n, Value fill, Args&&... args) {
    constexpr size_t head = (sizeof(F) + 7) & ~static_cast<size_t>(7);
    size_t bytes = head + static_cast<size_t>(n) * sizeof(Value);
    char* block;
    F* f;
    Environment** list = n <= kReusedSlots ? &freeFrames_[static_cast<int>(F::kKind)][n] : nullptr;
    if (list != nullptr && *list != nullptr) {
      unpoison(*list, bytes);  // before the cast, whose type check reads it
      F* old = static_cast<F*>(*list);
      *list = old->parent();  // a free frame's parent links its list
      Object* link = old->next_;
      block = reinterpret_cast<char*>(old);
      f = new (block) F(fillSlots(block + head, n, fill), std::forward<Args>(args)...);
      f->next_ = link;  // already on the object list
    } else {
      block = static_cast<char*>(allocate(bytes));
      f = new (block) F(fillSlots(block + head, n, fill), std::forward<Args>(args)...);
      f->next_ = objects_;
      objects_ = f;
      ++objectCount_;
    }
    f->setSlotCount(n);
    return f;
  }
  // Raw arena memory, 8-byte aligned, valid until teardown. "Out of memory"
  // past the heap limit or when the system has none left.
  void* allocate(size_t bytes);
  // n value slots in the arena, each set to fill.
  Value* allocateSlots(int32_t n, Value fill);
  // Bytes handed out by allocate so far.
  size_t bytesAllocated() const { return allocated_; }
  // Number of heap objects made so far.
  size_t objectCount() const { return objectCount_; }
  // The most the arena may take from the system, in bytes;
  // kDefaultHeapBytes unless set.
  void setHeapLimit(size_t bytes) { heapLimit_ = bytes; }

 private:
  // Every element of body but the last forced; the last returned.
  Value forceAllButLast(Value body);

  // Argument arrays of calls in progress live on a stack of chunks that never
  // move, so a builtin's argv stays valid while it calls back into Scheme.
  struct ArgMark {
    Value* top;
    size_t chunk;
  };
  Value* pushArgs(int32_t count, ArgMark& mark);
  void popArgs(const ArgMark& mark);
  // The call form x: operator, arguments, apply. May return a deferred tail
  // expression (none) or a pending call.
  Value evalCall(Value form);
  Value evalSymbol(Symbol* s);
  // A copy of table owned by the interpreter, made once per host table and
  // top-level evaluation.
  const SourceTable* shareTable(const SourceTable* table);
  void resetAfterError();
  void growSymbolTable();
  // One backtrace entry of error; last is the closure whose heading was
  // printed last.
  void reportFrame(Environment* f, Closure*& last);

  // Frames of up to kReusedSlots slots are reused; larger ones are rare.
  static constexpr int32_t kReusedSlots = 128;
  // The bytes of a frame of this kind (Environment::Kind) made by makeFrame
  // with n slots.
  static size_t frameBytes(int kind, int32_t n);
  static Value* fillSlots(char* at, int32_t n, Value fill) {
    auto* slots = reinterpret_cast<Value*>(at);
    for (int32_t i = 0; i < n; ++i) slots[i] = fill;
    return slots;
  }
  static void unpoison(void* block, size_t bytes) {
#if defined(PENDRA_POISON_FRAMES)
    ASAN_UNPOISON_MEMORY_REGION(block, bytes);
#else
    (void)block;
    (void)bytes;
#endif
  }

  Value false_, true_, unspecified_, emptyList_, eof_;
  Symbol* quote_ = nullptr;
  Symbol* arrow_ = nullptr;
  Symbol* else_ = nullptr;
  Symbol* define_ = nullptr;
  Environment* current_ = nullptr;  // top of the evaluation stack
  OutputPort& out_;
  HostHooks& hooks_;
  Object* objects_ = nullptr;  // newest first
  // Symbol table: 67 buckets at first, doubled past one symbol a bucket.
  std::vector<Symbol*> buckets_ = std::vector<Symbol*>(67, nullptr);
  size_t symbolCount_ = 0;
  size_t objectCount_ = 0;

  Value tailExpr_;             // the expression a deferred tail stands for
  uintptr_t stackLimit_ = 0;   // lowest safe native stack address
  bool reporting_ = false;     // inside error()
  uint64_t callsLeft_ = 0;     // see setCallLimit
  size_t backtraceLimit_ = 0;  // see setBacktraceLimit

  std::vector<Value*> argChunks_;
  size_t argChunk_ = 0;
  Value* argTop_ = nullptr;
  Value* argEnd_ = nullptr;

  // Source table copies; the pairs map a host table to its copy for the
  // top-level evaluations in progress.
  std::vector<SourceTable*> tableCopies_;
  std::unordered_set<const SourceTable*> ownedTables_;  // the same copies
  int32_t topLevels_ = 0;                               // evalTopLevel calls in progress
  std::vector<std::pair<const SourceTable*, const SourceTable*>> tableShares_;

  // Left frames waiting for reuse, by kind and slot count; see releaseFrame.
  Environment* freeFrames_[4][kReusedSlots + 1] = {};
  bool reuseFrames_ = true;

  // Arena: chunks carved front to back, freed at teardown.
  std::vector<char*> chunks_;
  char* cursor_ = nullptr;
  char* limit_ = nullptr;
  size_t allocated_ = 0;
  size_t heapBytes_ = 0;                          // taken from the system for the arena
  size_t heapLimit_ = pendra::kDefaultHeapBytes;  // see setHeapLimit()
  void* reserve_ = nullptr;                       // freed to make room for the report
};

}  // namespace scheme

#endif  // PENDRA_SCHEME_INTERPRETER_H_
