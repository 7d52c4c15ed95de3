// Text of real numbers at the module-wide output precision.
//
// The precision (decimal places, 1..8, default 6) is one setting shared by
// every writer of real numbers; it stays in force until it is set again.
// Both functions use no locale, allocate nothing and never fail. The state is
// not locked: set and format on one thread.
#pragma once

#include <cstddef>

namespace tw {

// Size of the buffer formatReal writes into, terminator included. The longest
// text is a sign, 19 integer digits, the point and 8 fraction digits (29).
inline constexpr std::size_t kRealTextCapacity = 40;

// Fewest and most decimal places; a setting outside is clamped into range.
inline constexpr unsigned kMinOutputPlaces = 1;
inline constexpr unsigned kMaxOutputPlaces = 8;
inline constexpr unsigned kDefaultOutputPlaces = 6;

// Texts written for values that have no finite 64-bit integer part: NaN, and
// infinities or finite values whose rounded magnitude is 2^63 or more.
inline constexpr const char* kNotANumberText = "nan";
inline constexpr const char* kInfinityText = "inf";
inline constexpr const char* kNegativeInfinityText = "-inf";

// Sets the number of decimal places from the low 16 bits of `places`
// (unsigned): 0 becomes 1, anything above 8 becomes 8 (so -1 gives 8).
void setOutputPrecision(long places);

// The current number of decimal places (1..8).
unsigned outputPrecision();

// Writes `value` rounded to the output precision (halves towards positive
// infinity) into `buffer`, NUL-terminated: no trailing fraction zeros, no
// point when the fraction is zero, no exponent, no plus sign, never "-0".
// The integer part is exact up to a magnitude below 2^63; beyond that, and
// for infinities, the text is "inf" or "-inf"; NaN gives "nan".
// `buffer` must hold kRealTextCapacity characters.
void formatReal(char* buffer, double value);

}  // namespace tw
