// The plain heap classes: singletons, strings, vectors and pairs.
#ifndef PENDRA_SCHEME_OBJECTS_H_
#define PENDRA_SCHEME_OBJECTS_H_

#include <cstdint>

#include "scheme/value.h"

namespace scheme {

class Boolean : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Boolean;
  Boolean() : Object(kTypeCode) {}
};

class Unspecified : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Unspecified;
  Unspecified() : Object(kTypeCode) {}
};

class EmptyList : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::EmptyList;
  EmptyList() : Object(kTypeCode) {}
  Value eval(Interpreter& in) override;  // "The empty list must be quoted"
};

class EndOfFile : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::EndOfFile;
  EndOfFile() : Object(kTypeCode) {}
};

// 16-bit units with a 0 unit after them. The units live in the arena.
class String : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::String;
  String(int32_t length, char16_t* units) : Object(kTypeCode), length_(length), units_(units) {}
  int32_t length() const { return length_; }
  char16_t* units() { return units_; }
  const char16_t* units() const { return units_; }

 private:
  int32_t length_;
  char16_t* units_;  // length_ + 1 units
};

class Vector : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Vector;
  Vector(int32_t length, Value* items) : Object(kTypeCode), length_(length), items_(items) {}
  int32_t length() const { return length_; }
  Value* items() { return items_; }
  Value eval(Interpreter& in) override;  // "Vectors must be quoted"

 private:
  int32_t length_;
  Value* items_;
};

class Pair : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Pair;
  Pair(Value car, Value cdr) : Object(kTypeCode), car_(car), cdr_(cdr) {}
  Value car() const { return car_; }
  Value cdr() const { return cdr_; }
  void setCar(Value v) { car_ = v; }
  void setCdr(Value v) { cdr_ = v; }
  Value eval(Interpreter& in) override;  // a procedure call or special form

 private:
  Value car_;
  Value cdr_;
};

// Constructors: each links the new object into the interpreter's list.
Value cons(Interpreter& in, Value car, Value cdr);
// With units null the buffer is left for the caller to fill; the unit after
// the last is 0 either way.
Value makeString(Interpreter& in, int32_t length, const char16_t* units);
// Bytes widened to units (zero-extended).
Value makeStringFromBytes(Interpreter& in, const char* text);
Value makeVector(Interpreter& in, int32_t length, Value fill);

// Numbers, characters and host immediates are canonical words, so eqv? is
// word identity, like eq?.
inline bool isEqv(Value a, Value b) { return a == b; }
// Structural equality (equal?). Deep nesting over cars ends in an error.
bool isEqual(Interpreter& in, Value a, Value b);

inline bool isPair(Value v) { return isType(v, TypeCode::Pair); }
inline bool isProcedure(Value v) {
  return isType(v, TypeCode::Procedure) || isType(v, TypeCode::Builtin);
}

}  // namespace scheme

#endif  // PENDRA_SCHEME_OBJECTS_H_
