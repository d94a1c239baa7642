// The five orderings shared by the number, character and string
// comparisons, each read off a difference (first minus other).
#ifndef PENDRA_SCHEME_RELATION_H_
#define PENDRA_SCHEME_RELATION_H_

#include <cstdint>

namespace scheme {

enum class Relation { kEqual, kLess, kGreater, kLessEqual, kGreaterEqual };

// Whether first <relation> other holds, given d = first - other.
template <Relation r>
bool holds(int32_t d) {
  switch (r) {
    case Relation::kEqual:
      return d == 0;
    case Relation::kLess:
      return d < 0;
    case Relation::kGreater:
      return d > 0;
    case Relation::kLessEqual:
      return d <= 0;
    case Relation::kGreaterEqual:
      return d >= 0;
  }
  return false;
}

}  // namespace scheme

#endif  // PENDRA_SCHEME_RELATION_H_
