// The coordinate arguments "x", "y", "z" and "o" of point and path objects,
// read into fixed-width slot texts.
//
// Each of "x", "y", "z" holds up to three slots separated by '/': a '/' at
// the current position leaves the slot as it was and moves on; otherwise the
// characters up to the next '/' (which is skipped) or the end fill the slot.
// Slots a value does not set keep what the record held before; a slot it
// sets always receives a non-empty text, so a caller that clears the record
// first can tell which slots an object set.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/exchange_token.h"

namespace tw {

// Every text field holds this many characters and a terminating NUL.
inline constexpr std::size_t kCoordinateTextLength = 23;
inline constexpr std::size_t kCoordinateSlots = 3;

using CoordinateText = std::array<char, kCoordinateTextLength + 1>;

// The coordinates of one object. Zero-initialise before the first use
// (CoordinateTexts record{}), then let readCoordinateArguments update it.
struct CoordinateTexts {
    CoordinateText o;  // the "o" text
    // slots[s][0..2]: the x, y and z texts of slot s (0 = first slot).
    std::array<std::array<CoordinateText, 3>, kCoordinateSlots> slots;
};

// Flags of the returned mask.
inline constexpr int kCoordinateX = 1;
inline constexpr int kCoordinateY = 2;
inline constexpr int kCoordinateZ = 4;

// Fills `record` from the arguments of an object token, in file order, and
// returns the mask of the coordinates met (kCoordinateX | ...). Only the
// one-character names "o", "x", "y", "z" are looked at; a later argument of a
// name overrides an earlier one. The "o" text is cut to 23 characters (an
// argument without value empties it). A slot text longer than 23 characters
// is not taken: that slot keeps its previous text, as cutting a number would
// silently turn it into another one. An "x", "y" or "z" without value raises
// its flag and sets no slot.
int readCoordinateArguments(CoordinateTexts& record, const ExchangeToken& token);

// The text held in a field (up to its NUL).
inline std::string_view coordinateText(const CoordinateText& field) { return std::string_view(field.data()); }

}  // namespace tw
