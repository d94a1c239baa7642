// Symbols: unique per name within one interpreter, each with its own global
// value cell. Made only by Interpreter::intern and internName.
#ifndef PENDRA_SCHEME_SYMBOL_H_
#define PENDRA_SCHEME_SYMBOL_H_

#include "scheme/objects.h"

namespace scheme {

class Symbol : public Object {
 public:
  static constexpr TypeCode kTypeCode = TypeCode::Symbol;
  Symbol(Value name, Symbol* nextInBucket)
      : Object(kTypeCode), name_(name), nextInBucket_(nextInBucket) {}

  // The name, a String value.
  Value name() const { return name_; }
  const String* nameString() const { return as<String>(name_); }
  // None while unbound.
  Value globalValue() const { return global_; }
  void setGlobalValue(Value v) { global_ = v; }
  Symbol* nextInBucket() const { return nextInBucket_; }
  void setNextInBucket(Symbol* s) { nextInBucket_ = s; }  // the table's growth

  Value eval(Interpreter& in) override;  // variable reference

 private:
  Value name_;
  Value global_;
  Symbol* nextInBucket_;
};

// Hash of a name of 16-bit units; its bucket is the hash modulo the table's
// size, which starts at 67 and doubles whenever there are more symbols than
// buckets.
uint32_t symbolHash(const char16_t* units, int32_t length);

}  // namespace scheme

#endif  // PENDRA_SCHEME_SYMBOL_H_
