#include "scheme/symbol.h"

#include <cstring>

#include "common/bounds.h"
#include "scheme/environment.h"
#include "scheme/interpreter.h"

namespace scheme {

using pendra::kMaxNameLength;

// Runs over the name's bytes in memory order, each unit low byte first, with
// every byte taken as signed.
uint32_t symbolHash(const char16_t* units, int32_t length) {
  uint32_t h = 0;
  for (int32_t i = 0; i < length; ++i) {
    auto low = static_cast<int8_t>(units[i] & 0xFF);
    auto high = static_cast<int8_t>(units[i] >> 8);
    h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(low));
    h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(high));
  }
  return h;
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
  uint32_t hash = symbolHash(units, length);
  Symbol*& head = buckets_[hash % buckets_.size()];
  for (Symbol* s = head; s != nullptr; s = s->nextInBucket()) {
    const String* name = s->nameString();
    if (name->length() == length &&
        std::memcmp(name->units(), units, static_cast<size_t>(length) * 2) == 0)
      return s;
  }
  Symbol* s = make<Symbol>(makeString(*this, length, units), head);
  head = s;
  if (++symbolCount_ > buckets_.size()) growSymbolTable();
  return s;
}

// Doubles the buckets. Bucket i splits into i and i + n (h mod 2n mod n is
// h mod n), and each chain keeps its newest-first order.
void Interpreter::growSymbolTable() {
  size_t n = buckets_.size();
  std::vector<Symbol*> grown(2 * n, nullptr);
  std::vector<Symbol*> tails(2 * n, nullptr);
  for (Symbol* s : buckets_) {
    while (s != nullptr) {
      Symbol* next = s->nextInBucket();
      const String* name = s->nameString();
      size_t b = symbolHash(name->units(), name->length()) % (2 * n);
      s->setNextInBucket(nullptr);
      if (tails[b] == nullptr)
        grown[b] = s;
      else
        tails[b]->setNextInBucket(s);
      tails[b] = s;
      s = next;
    }
  }
  buckets_.swap(grown);
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
