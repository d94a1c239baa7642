// The printer: write (the machine-readable form) and display (the human one).
#ifndef PENDRA_SCHEME_PRINTER_H_
#define PENDRA_SCHEME_PRINTER_H_

#include <cstdint>

#include "scheme/host.h"
#include "scheme/value.h"

namespace scheme {

void write(Interpreter& in, OutputPort& port, Value v);
void display(Interpreter& in, OutputPort& port, Value v);
// write, cut to at most limit units: a longer text keeps its first limit - 4
// units and ends in " ...". REQUIRES: limit >= 4.
void writeLimited(Interpreter& in, OutputPort& port, Value v, int32_t limit);

// Digits of n in the radix ("0".."9", "A".."Z"), a minus sign first when n
// is negative. Returns the count of units stored; 33 units always suffice.
// REQUIRES: 2 <= radix <= 36 and n != INT32_MIN.
int32_t formatInteger(int32_t n, char16_t* buffer, int32_t radix);

}  // namespace scheme

#endif  // PENDRA_SCHEME_PRINTER_H_
