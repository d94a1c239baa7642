// Closures and the four kinds of environment frame. One chain of frames is
// both the lexical environment and the evaluation stack of error reports.
#ifndef PENDRA_SCHEME_ENVIRONMENT_H_
#define PENDRA_SCHEME_ENVIRONMENT_H_

#include <cstdint>

#include "scheme/host.h"
#include "scheme/objects.h"
#include "scheme/symbol.h"
#include "scheme/value.h"

namespace scheme {

class Environment;
class TopLevelFrame;

// A procedure made by lambda or define.
class Closure : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Procedure;
  Closure(Value name, Value formals, int32_t paramCount, bool rest, Value body,
          Environment* environment, const SourceTable* table)
      : Object(kTypeCode),
        name_(name),
        formals_(formals),
        paramCount_(paramCount),
        rest_(rest),
        body_(body),
        environment_(environment),
        table_(table) {}

  // The defining symbol, or the unspecified object when anonymous.
  Value name() const { return name_; }
  Value formals() const { return formals_; }
  int32_t paramCount() const { return paramCount_; }  // the rest parameter included
  Value body() const { return body_; }
  Environment* environment() const { return environment_; }
  // The closure's copy of the source table it was made under, or null. The
  // interpreter owns the copy; closures made under one table share it.
  const SourceTable* sourceTable() const { return table_; }

  // Checks the count and returns a new, unrun CallFrame.
  Value apply(Interpreter& in, int32_t argc, Value* argv) override;

 private:
  Value name_;
  Value formals_;
  int32_t paramCount_;
  bool rest_;
  Value body_;
  Environment* environment_;
  const SourceTable* table_;
};

// Base of the frames. Parent: the frame current when this one was entered.
// Current expression: the call form most recently started in the frame.
// Call, let and body frames keep their slots right after the object; the
// interpreter makes them (Interpreter::makeFrame) and may reuse them once
// they are left, unless they are captured (see Interpreter::releaseFrame).
class Environment : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Environment;
  enum class Kind : uint8_t { TopLevel, Call, Let, Body };

  Kind kind() const { return kind_; }
  Environment* parent() const { return parent_; }
  void setParent(Environment* p) { parent_ = p; }
  Value expression() const { return expression_; }
  void setExpression(Value v) { expression_ = v; }
  // Set once a closure may refer to this frame; such a frame is never reused.
  bool captured() const { return captured_; }
  void setCaptured() { captured_ = true; }
  // The number of slots after the object, for reuse; saturates at 65535.
  int32_t slotCount() const { return slotCount_; }
  void setSlotCount(int32_t n) { slotCount_ = static_cast<uint16_t>(n < 65535 ? n : 65535); }

  // The value bound to s in this frame or the frames it hands on to, or none.
  Value lookup(Symbol* s);
  // Stores v where lookup would have found s; false when no frame binds it.
  bool assign(Symbol* s, Value v);
  // The source table in effect, or null.
  virtual const SourceTable* sourceTable() const = 0;
  // The closure whose activation this frame belongs to, or null.
  virtual Closure* procedure() const = 0;
  // This frame if it is a top-level frame, else null.
  virtual TopLevelFrame* topLevel() { return nullptr; }

 protected:
  Environment(Kind kind, Value expression)
      : Object(kTypeCode), kind_(kind), expression_(expression) {}

 private:
  // The slot of s in this very frame, or null with *next set to the frame
  // that answers for names this one does not bind (null for none). Each
  // kind's findLocal is chosen by kind_, without a virtual call.
  Value* findSlot(Symbol* s, Environment** next);

  Kind kind_;
  bool captured_ = false;
  uint16_t slotCount_ = 0;
  Environment* parent_ = nullptr;
  Value expression_;
};

// The frame of one expression evaluated by the host. Binds nothing.
class TopLevelFrame : public Environment {
 public:
  static constexpr Kind kKind = Kind::TopLevel;
  TopLevelFrame(Value expression, const SourceTable* table)
      : Environment(Kind::TopLevel, expression), topExpression_(expression), table_(table) {}
  Value topExpression() const { return topExpression_; }
  const SourceTable* sourceTable() const override { return table_; }
  Closure* procedure() const override { return nullptr; }
  TopLevelFrame* topLevel() override { return this; }
  Value eval(Interpreter& in) override;

 private:
  friend class Environment;  // calls findLocal from Environment::findSlot
  Value* findLocal(Symbol* s, Environment** next);

  Value topExpression_;
  const SourceTable* table_;  // the host's; alive while the frame runs
};

// One activation of a closure: a slot per parameter.
class CallFrame : public Environment {
 public:
  static constexpr Kind kKind = Kind::Call;
  CallFrame(Value* slots, Closure* closure)
      : Environment(Kind::Call, closure->body()), closure_(closure), slots_(slots) {}
  Closure* closure() const { return closure_; }
  Value* slots() { return slots_; }
  const SourceTable* sourceTable() const override { return closure_->sourceTable(); }
  Closure* procedure() const override { return closure_; }
  Value eval(Interpreter& in) override;

 private:
  friend class Environment;  // calls findLocal from Environment::findSlot
  Value* findLocal(Symbol* s, Environment** next);

  Closure* closure_;
  Value* slots_;
};

// The frame of a let or letrec: a slot per (name init) binding.
class LetFrame : public Environment {
 public:
  static constexpr Kind kKind = Kind::Let;
  LetFrame(Value* slots, Value bindings, int32_t count, Value body, bool recursive)
      : Environment(Kind::Let, body),
        bindings_(bindings),
        slots_(slots),
        count_(count),
        body_(body),
        recursive_(recursive) {}
  Value* slots() { return slots_; }
  // The bindings that have passed their checks so far.
  void setCount(int32_t n) { count_ = n; }
  const SourceTable* sourceTable() const override;
  Closure* procedure() const override;
  Value eval(Interpreter& in) override;

 private:
  friend class Environment;  // calls findLocal from Environment::findSlot
  Value* findLocal(Symbol* s, Environment** next);

  Value bindings_;
  Value* slots_;
  int32_t count_;
  Value body_;
  bool recursive_;
};

// The frame of the leading internal definitions of a body: a slot each.
class BodyFrame : public Environment {
 public:
  static constexpr Kind kKind = Kind::Body;
  BodyFrame(Value* slots, Value definitions, int32_t count, Value rest)
      : Environment(Kind::Body, rest),
        definitions_(definitions),
        slots_(slots),
        count_(count),
        rest_(rest) {}
  const SourceTable* sourceTable() const override;
  Closure* procedure() const override;
  Value eval(Interpreter& in) override;

 private:
  friend class Environment;  // calls findLocal from Environment::findSlot
  Value* findLocal(Symbol* s, Environment** next);

  Value definitions_;
  Value* slots_;
  int32_t count_;
  Value rest_;  // the body after the last definition
};

}  // namespace scheme

#endif  // PENDRA_SCHEME_ENVIRONMENT_H_
