// The interpreter: its singletons, symbol table, evaluation entry points,
// error report and the arena that holds every object it makes.
#ifndef PENDRA_SCHEME_INTERPRETER_H_
#define PENDRA_SCHEME_INTERPRETER_H_

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "scheme/host.h"
#include "scheme/objects.h"
#include "scheme/symbol.h"
#include "scheme/value.h"

namespace scheme {

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
  // A closure over the current frame; checks the formals.
  Value makeClosure(Value name, Value formals, Value body, const SourceTable* table);
  // Runs pending calls (frames) until a value results. A value that is not a
  // pending call is returned as it is, never evaluated again.
  Value finish(Value v);
  // Applies a procedure (from the host or from a builtin such as map) and
  // finishes the result.
  Value call(Value proc, int32_t argc, Value* argv);
  // Set! semantics: the innermost frame binding s, else its global cell.
  void setVariable(Symbol* s, Value v);

  // Prints "message: culprit", a blank line and the backtrace on the output
  // port, then calls the host's onError. Never returns. A none culprit
  // prints as "#<none>".
  [[noreturn]] void error(const char* message, Value culprit = Value());
  // True from the start of an error report until onError is called; lets a
  // port tell the report from the output before it.
  bool reportingError() const { return reporting_; }

  // ---- Symbols ----------------------------------------------------------
  Symbol* intern(int32_t length, const char16_t* units);
  // Bytes sign-extended to units; "Symbol too long" at 128 characters.
  Symbol* internName(const char* name);

  Environment* currentFrame() const { return current_; }
  void setCurrentFrame(Environment* frame) { current_ = frame; }
  OutputPort& output() const { return out_; }
  HostHooks& hooks() const { return hooks_; }

  // ---- Memory -----------------------------------------------------------
  // A new heap object in the arena, linked into the object list.
  template <class T, class... Args>
  T* make(Args&&... args) {
    T* o = new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    o->next_ = objects_;
    objects_ = o;
    return o;
  }
  // Raw arena memory, 8-byte aligned, valid until teardown.
  void* allocate(size_t bytes);
  size_t bytesAllocated() const { return allocated_; }

 private:
  Value false_, true_, unspecified_, emptyList_, eof_;
  Symbol* quote_ = nullptr;
  Symbol* arrow_ = nullptr;
  Symbol* else_ = nullptr;
  Symbol* define_ = nullptr;
  Environment* current_ = nullptr;  // top of the evaluation stack
  OutputPort& out_;
  HostHooks& hooks_;
  Object* objects_ = nullptr;  // newest first
  Symbol* buckets_[67] = {};
  int32_t depth_ = 0;       // native nesting of force, bounded to keep the stack safe
  bool reporting_ = false;  // inside error()

  // Arena: chunks carved front to back, freed at teardown.
  std::vector<char*> chunks_;
  char* cursor_ = nullptr;
  char* limit_ = nullptr;
  size_t allocated_ = 0;
};

}  // namespace scheme

#endif  // PENDRA_SCHEME_INTERPRETER_H_
