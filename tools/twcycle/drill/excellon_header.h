// The settings an Excellon file states about itself, and the lines of its
// header (from M48 up to '%' or M95) that state them.
#pragma once

#include <string>
#include <string_view>

#include "excellon_numbers.h"

namespace twcycle::drill {

struct ExcellonSettings {
    NumberFormat format;
    bool digitsGiven = false;  // a digit pattern or ;FILE_FORMAT= set the digits
    std::string unit;          // "inch", "mm", or empty while unsaid
    bool incremental = false;  // ICI,ON (or G91) is in force
    std::string statedUnit;    // set by a unit statement, for the reader to check and clear
};

// Sets the unit; the unit's default digits (2:4 inch, 3:3 mm) apply unless
// the file gave its own.
void setUnit(ExcellonSettings& settings, const std::string& unit);

// A unit statement of the file: sets the unit and `statedUnit`.
void stateUnit(ExcellonSettings& settings, const std::string& unit);

// Takes what a comment line states (";FILE_FORMAT=a:b", also ending in '*'
// or "*%"); other comments say nothing.
void readComment(std::string_view comment, ExcellonSettings& settings);

enum class HeaderLine {
    Kept,     // understood; written back unchanged (or as `replacement`)
    End,      // '%' or M95: the body follows
    Refused,  // `reason` says why
};

// Reads one line of the header (already without blanks at either end and
// not a comment). `replacement` is set for a line the file must be written
// back with another text: "ICI,ON" becomes "ICI,OFF" since holes are
// written absolute.
HeaderLine readHeaderLine(std::string_view text, ExcellonSettings& settings, std::string& reason,
                          std::string& replacement);

// True when `text` is a tool definition or selection: 'T' and digits, then
// letters with numbers (C diameter, F, S, B, H, Z ...).
bool isToolLine(std::string_view text);

// The tool of a tool line as written: "T" and its digits.
std::string_view toolOf(std::string_view text);

}  // namespace twcycle::drill
