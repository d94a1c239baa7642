#include "scheme/registry.h"

#include "scheme/interpreter.h"

namespace scheme {

namespace {

// The type an argSpec letter asks for; false for letters that accept anything.
bool letterType(char letter, TypeCode* code) {
  switch (letter) {
    case 'n':
      *code = TypeCode::Number;
      return true;
    case 's':
      *code = TypeCode::String;
      return true;
    case 'S':
      *code = TypeCode::Symbol;
      return true;
    case 'c':
      *code = TypeCode::Character;
      return true;
    case 'p':
      *code = TypeCode::Pair;
      return true;
    case 'v':
      *code = TypeCode::Vector;
      return true;
    default:
      return false;
  }
}

void checkLetter(Interpreter& in, char letter, Value v) {
  TypeCode code;
  if (letterType(letter, &code)) checkType(in, code, v);
}

}  // namespace

// Positions are checked as they are consumed, so a wrong type in an early
// position is reported before a surplus of arguments.
void checkArguments(Interpreter& in, Value self, const char* argSpec, int32_t argc, Value* argv) {
  int32_t used = 0;
  for (const char* p = argSpec; *p != 0; ++p) {
    if (*p == '*') {
      if (p[1] == 0) break;  // a bare '*' ends the argSpec and admits anything
      ++p;
      for (; used < argc; ++used) checkLetter(in, *p, argv[used]);
      continue;
    }
    if (used == argc) in.error("Wrong number of arguments", self);
    checkLetter(in, *p, argv[used++]);
  }
  if (used != argc) in.error("Wrong number of arguments", self);
}

Value BuiltinProcedure::apply(Interpreter& in, int32_t argc, Value* argv) {
  checkArguments(in, this, builtin_->argSpec(), argc, argv);
  return builtin_->function()(in, argc, argv);
}

Value SpecialForm::applySyntax(Interpreter& in, Value args, Value form) {
  return function_(in, args, form);
}

void registerBuiltin(Interpreter& in, const Builtin* builtin) {
  Value procedure = in.make<BuiltinProcedure>(builtin);
  in.internName(builtin->name())->setGlobalValue(procedure);
}

void registerSyntax(Interpreter& in, const Syntax* syntax) {
  Value form = in.make<SpecialForm>(syntax->name(), syntax->function());
  in.internName(syntax->name())->setGlobalValue(form);
}

}  // namespace scheme
