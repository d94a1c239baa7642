#include "scheme/objects.h"

#include <cstring>

#include "scheme/interpreter.h"

namespace scheme {

Value EmptyList::eval(Interpreter& in) { in.error("The empty list must be quoted", this); }

Value Vector::eval(Interpreter& in) { in.error("Vectors must be quoted", this); }

Value cons(Interpreter& in, Value car, Value cdr) { return in.make<Pair>(car, cdr); }

Value makeString(Interpreter& in, int32_t length, const char16_t* units) {
  auto* buffer = static_cast<char16_t*>(in.allocate((static_cast<size_t>(length) + 1) * 2));
  if (units != nullptr) std::memcpy(buffer, units, static_cast<size_t>(length) * 2);
  buffer[length] = 0;
  return in.make<String>(length, buffer);
}

Value makeStringFromBytes(Interpreter& in, const char* text) {
  int32_t length = static_cast<int32_t>(std::strlen(text));
  Value s = makeString(in, length, nullptr);
  char16_t* units = as<String>(s)->units();
  for (int32_t i = 0; i < length; ++i) units[i] = static_cast<unsigned char>(text[i]);
  return s;
}

Value makeVector(Interpreter& in, int32_t length, Value fill) {
  return in.make<Vector>(length, in.allocateSlots(length, fill));
}

}  // namespace scheme
