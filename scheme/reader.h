// The reader: characters from a CharSource into one datum at a time.
#ifndef PENDRA_SCHEME_READER_H_
#define PENDRA_SCHEME_READER_H_

#include "scheme/host.h"
#include "scheme/value.h"

namespace scheme {

// Reads one datum, or returns the end-of-file object when the input ends
// before a datum starts. Every list read through "(" is recorded in table,
// when given, with the line of its opening parenthesis. Errors go through
// the interpreter's error routine and do not return.
Value read(Interpreter& in, CharSource& source, SourceTable* table);

}  // namespace scheme

#endif  // PENDRA_SCHEME_READER_H_
