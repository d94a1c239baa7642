// The value word of the interpreter and the base class of heap objects.
//
// Every datum is one word. Its low two bits select the representation:
//   00  reference to a heap Object (objects are at least 8-byte aligned);
//       the all-zero word is "none" (no value: unbound, absent)
//   01  number: a 30-bit two's-complement integer in bits 31..2
//   10  character: a 16-bit code in bits 17..2
//   11  host immediate: a 32-bit word owned by the host (the engine's dates)
// Numbers, characters and host immediates are held in the low 32 bits, so
// they compare equal exactly when their 32-bit words do. All code that reads
// the bits lives in this file.
#ifndef PENDRA_SCHEME_VALUE_H_
#define PENDRA_SCHEME_VALUE_H_

#include <cassert>
#include <cstdint>

namespace scheme {

class Interpreter;
class Object;

using Word = uintptr_t;  // the one place the width of a value is chosen

// Type codes of values. Host is no core type: every core type check fails on it.
enum class TypeCode : int32_t {
  Symbol = 0,
  Number = 1,
  Boolean = 2,
  Character = 3,
  Unspecified = 4,
  EmptyList = 5,
  EndOfFile = 6,
  String = 7,
  Pair = 8,
  Procedure = 9,  // Closure
  Environment = 10,
  Builtin = 11,
  SpecialForm = 12,
  Vector = 13,
  Host = 14,
};

const char* typeName(TypeCode code);

// Intentionally copyable.
class Value {
 public:
  constexpr Value() : bits_(0) {}
  Value(Object* o) : bits_(reinterpret_cast<Word>(o)) {}  // NOLINT: implicit on purpose

  // n * 4 + 1 in 32-bit wrapping arithmetic: any int32 is reduced modulo 2^30.
  static constexpr Value makeNumber(int32_t n) {
    return Value(static_cast<Word>(static_cast<uint32_t>(n) * 4u + 1u));
  }
  static constexpr Value makeChar(uint32_t code) {
    return Value(static_cast<Word>((code & 0xFFFFu) * 4u + 2u));
  }
  // REQUIRES: (word & 3) == 3.
  static constexpr Value makeHost(uint32_t word) {
    assert((word & 3u) == 3u);
    return Value(static_cast<Word>(word));
  }

  constexpr bool isNone() const { return bits_ == 0; }
  constexpr bool isObject() const { return (bits_ & 3) == 0 && bits_ != 0; }
  constexpr bool isNumber() const { return (bits_ & 3) == 1; }
  constexpr bool isChar() const { return (bits_ & 3) == 2; }
  constexpr bool isHost() const { return (bits_ & 3) == 3; }

  // Arithmetic shift of the low 32 bits. REQUIRES: isNumber().
  constexpr int32_t number() const {
    assert(isNumber());
    return static_cast<int32_t>(static_cast<uint32_t>(bits_)) >> 2;
  }
  // REQUIRES: isChar().
  constexpr char16_t charCode() const {
    assert(isChar());
    return static_cast<char16_t>((bits_ >> 2) & 0xFFFFu);
  }
  // REQUIRES: isHost().
  constexpr uint32_t hostWord() const {
    assert(isHost());
    return static_cast<uint32_t>(bits_);
  }
  // REQUIRES: isObject().
  Object* object() const {
    assert(isObject());
    return reinterpret_cast<Object*>(bits_);
  }
  // Identity: the same heap object, or immediates with the same value.
  constexpr bool operator==(const Value& other) const { return bits_ == other.bits_; }
  constexpr bool operator!=(const Value& other) const { return bits_ != other.bits_; }
  // A stable 32-bit identity for printing (closures, unknown objects).
  uint32_t identity() const { return static_cast<uint32_t>(bits_ ^ (bits_ >> 32)); }

 private:
  explicit constexpr Value(Word bits) : bits_(bits) {}
  Word bits_;
};

// Every heap object starts with its virtual operations, in this slot order,
// then the link of the interpreter's object list and its type code. The type
// code comes last so that a subclass's first 32-bit field can share its word.
class Object {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // Default: "Not callable" naming this object.
  virtual Value apply(Interpreter& in, int32_t argc, Value* argv);
  // Default: the object itself (self-evaluating).
  virtual Value eval(Interpreter& in);
  // Default: "Internal error" naming this object.
  virtual Value applySyntax(Interpreter& in, Value args, Value form);
  // Objects live in the interpreter's arena; teardown runs this once.
  virtual ~Object() = default;

  TypeCode typeCode() const { return typeCode_; }
  // Set while the printer is inside this pair or vector, to find structure
  // that contains itself.
  bool printing() const { return printing_; }
  void setPrinting(bool on) { printing_ = on; }

 protected:
  explicit Object(TypeCode code) : typeCode_(code) {}

 private:
  friend class Interpreter;  // links each new object into its object list
  Object* next_ = nullptr;   // made just before this one; the list owns every object
  TypeCode typeCode_;
  bool printing_ = false;  // in the padding after the type code
};

// Type code of any value; Host for host immediates, which are never read as
// references. REQUIRES: !v.isNone().
inline TypeCode typeOf(Value v) {
  if (v.isNumber()) return TypeCode::Number;
  if (v.isChar()) return TypeCode::Character;
  if (v.isHost()) return TypeCode::Host;
  return v.object()->typeCode();
}

inline bool isType(Value v, TypeCode code) { return !v.isNone() && typeOf(v) == code; }

// Checked downcast of a heap value: T::kTypeCode names the class's code.
// The four frame classes share one code and are cast with static_cast.
template <class T>
T* as(Value v) {
  assert(isType(v, T::kTypeCode));
  return static_cast<T*>(v.object());
}

// Reports "Wrong type" naming v through the interpreter's error routine.
[[noreturn]] void wrongType(Interpreter& in, Value v);

// "Wrong type" naming v unless typeOf(v) == code.
inline void checkType(Interpreter& in, TypeCode code, Value v) {
  if (!isType(v, code)) wrongType(in, v);
}

}  // namespace scheme

#endif  // PENDRA_SCHEME_VALUE_H_
