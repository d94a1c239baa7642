#include "scheme/symbol.h"

#include <cstring>

#include "scheme/environment.h"
#include "scheme/interpreter.h"

namespace scheme {

namespace {
constexpr int32_t kBuckets = 67;
constexpr int32_t kMaxNameLength = 127;
}  // namespace

// Runs over the name's bytes in memory order, each unit low byte first, with
// every byte taken as signed; the bucket is the unsigned hash modulo 67.
uint32_t symbolBucket(const char16_t* units, int32_t length) {
  uint32_t h = 0;
  for (int32_t i = 0; i < length; ++i) {
    auto low = static_cast<int8_t>(units[i] & 0xFF);
    auto high = static_cast<int8_t>(units[i] >> 8);
    h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(low));
    h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(high));
  }
  return h % kBuckets;
}

Value Symbol::eval(Interpreter& in) {
  if (Environment* frame = in.currentFrame()) {
    Value v = frame->lookup(this);
    if (!v.isNone()) return v;
  }
  if (global_.isNone()) in.error("Undefined symbol", this);
  return global_;
}

Symbol* Interpreter::intern(int32_t length, const char16_t* units) {
  uint32_t bucket = symbolBucket(units, length);
  for (Symbol* s = buckets_[bucket]; s != nullptr; s = s->nextInBucket()) {
    const String* name = s->nameString();
    if (name->length() == length &&
        std::memcmp(name->units(), units, static_cast<size_t>(length) * 2) == 0)
      return s;
  }
  Symbol* s = make<Symbol>(makeString(*this, length, units), buckets_[bucket]);
  buckets_[bucket] = s;
  return s;
}

Symbol* Interpreter::internName(const char* name) {
  char16_t units[kMaxNameLength];
  int32_t length = 0;
  for (const char* p = name; *p != 0; ++p) {
    if (length == kMaxNameLength) error("Symbol too long");
    // Sign extension: bytes 0x80 and above become units 0xFF80 to 0xFFFF.
    units[length++] = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(*p)));
  }
  return intern(length, units);
}

}  // namespace scheme
