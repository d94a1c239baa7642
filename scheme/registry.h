// Static registration of builtin procedures and special forms.
//
// Each primitive is declared beside its code by one record:
//   static Value car(Interpreter& in, int32_t argc, Value* argv) { ... }
//   static const Builtin kCar("car", car, "p");
// The records link themselves into two process-wide lists during static
// initialisation; every Interpreter installs them all when it is built.
//
// Argument specs, one letter per argument position: "." anything, "n"
// number, "s" string, "S" symbol, "c" character, "p" pair, "v" vector;
// "*x" ends an argSpec and stands for zero or more further arguments checked
// as x. The argSpec is checked before every call, so a function only checks
// what its argSpec cannot say.
#ifndef PENDRA_SCHEME_REGISTRY_H_
#define PENDRA_SCHEME_REGISTRY_H_

#include <cstdint>

#include "scheme/value.h"

namespace scheme {

using BuiltinFunction = Value (*)(Interpreter& in, int32_t argc, Value* argv);
using SyntaxFunction = Value (*)(Interpreter& in, Value args, Value form);

class Builtin {
 public:
  Builtin(const char* name, BuiltinFunction fn, const char* argSpec)
      : name_(name), function_(fn), argSpec_(argSpec), link_(head_) {
    head_ = this;
  }
  Builtin(const Builtin&) = delete;
  Builtin& operator=(const Builtin&) = delete;

  const char* name() const { return name_; }
  BuiltinFunction function() const { return function_; }
  const char* argSpec() const { return argSpec_; }
  const Builtin* link() const { return link_; }
  // The last record registered; walk on with link().
  static const Builtin* head() { return head_; }

 private:
  const char* name_;
  BuiltinFunction function_;
  const char* argSpec_;
  const Builtin* link_;
  static constinit inline const Builtin* head_ = nullptr;
};

class Syntax {
 public:
  Syntax(const char* name, SyntaxFunction fn) : name_(name), function_(fn), link_(head_) {
    head_ = this;
  }
  Syntax(const Syntax&) = delete;
  Syntax& operator=(const Syntax&) = delete;

  const char* name() const { return name_; }
  SyntaxFunction function() const { return function_; }
  const Syntax* link() const { return link_; }
  static const Syntax* head() { return head_; }

 private:
  const char* name_;
  SyntaxFunction function_;
  const Syntax* link_;
  static constinit inline const Syntax* head_ = nullptr;
};

// The value of a primitive: applying it checks the argSpec and calls it.
class BuiltinProcedure : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Builtin;
  explicit BuiltinProcedure(const Builtin* builtin) : Object(kTypeCode), builtin_(builtin) {}
  const Builtin* builtin() const { return builtin_; }
  Value apply(Interpreter& in, int32_t argc, Value* argv) override;

 private:
  const Builtin* builtin_;
};

// The value of a special form's keyword. Not a procedure.
class SpecialForm : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::SpecialForm;
  SpecialForm(const char* name, SyntaxFunction function)
      : Object(kTypeCode), name_(name), function_(function) {}
  const char* name() const { return name_; }  // may be null
  Value applySyntax(Interpreter& in, Value args, Value form) override;

 private:
  const char* name_;
  SyntaxFunction function_;
};

// Checks argc and argv against argSpec, reporting through the interpreter's
// error routine: "Wrong number of arguments" naming self, "Wrong type"
// naming the argument.
void checkArguments(Interpreter& in, Value self, const char* argSpec, int32_t argc, Value* argv);

// Bind the record's name in the global environment to a new
// BuiltinProcedure or SpecialForm, replacing any earlier value.
void registerBuiltin(Interpreter& in, const Builtin* builtin);
void registerSyntax(Interpreter& in, const Syntax* syntax);

}  // namespace scheme

#endif  // PENDRA_SCHEME_REGISTRY_H_
