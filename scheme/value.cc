#include "scheme/value.h"

#include "scheme/interpreter.h"

namespace scheme {

const char* typeName(TypeCode code) {
  switch (code) {
    case TypeCode::Symbol:
      return "symbol";
    case TypeCode::Number:
      return "number";
    case TypeCode::Boolean:
      return "boolean";
    case TypeCode::Character:
      return "character";
    case TypeCode::Unspecified:
      return "unspecified";
    case TypeCode::EmptyList:
      return "empty list";
    case TypeCode::EndOfFile:
      return "end of file";
    case TypeCode::String:
      return "string";
    case TypeCode::Pair:
      return "pair";
    case TypeCode::Procedure:
      return "procedure";
    case TypeCode::Environment:
      return "environment";
    case TypeCode::Builtin:
      return "builtin";
    case TypeCode::SpecialForm:
      return "special form";
    case TypeCode::Vector:
      return "vector";
    case TypeCode::Host:
      return "host value";
  }
  return "?";
}

}  // namespace scheme

// ---- Default operations of heap objects --------------------------------
// Defined here with the base class; they report through the interpreter.

namespace scheme {

Value Object::apply(Interpreter& in, int32_t, Value*) { in.error("Not callable", this); }

Value Object::eval(Interpreter&) { return this; }

Value Object::applySyntax(Interpreter& in, Value, Value) { in.error("Internal error", this); }

void wrongType(Interpreter& in, Value v) { in.error("Wrong type", v); }

}  // namespace scheme
