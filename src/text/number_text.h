// Leading-number conversions of parameter and value texts. They read the
// number at the start of a text (after blanks) and ignore the rest; a text
// that does not start with a number gives 0. They never depend on the
// process locale: the decimal point is always '.'.
#pragma once

#include <cstdint>

namespace tw {

// The decimal integer at the start of `text` (sign allowed), saturated to the
// range of long long; 0 for null or no digits.
long long leadingInteger(const char* text);

// The decimal real number at the start of `text` (sign, fraction and
// exponent allowed, also "inf" and "nan" as the C library reads them); 0 for
// null or no number.
double leadingReal(const char* text);

}  // namespace tw
