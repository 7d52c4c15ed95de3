// Reading up to three numbers out of a parameter value ("1 0 0",
// "X=1.5, Y=-2e1, Z=.5"), as frame axes and origins are written.
#pragma once

namespace tw {

// Finds up to three numbers in `text` and stores them, in order, in `first`,
// `second` and `third`; places for numbers not found are left untouched.
// Returns how many were found (0 to 3; 0 for a null text).
//
// A number starts at any of "+-.0123456789" and runs while the characters
// are among "+-.0123456789eE"; the longest prefix of the run that forms a
// decimal number is its value, and a run holding no number counts as 0.
// Any other character separates numbers. '.' is always the decimal point,
// whatever the process locale says, and a run may be of any length.
int parseNumberTriple(const char* text, double& first, double& second, double& third);

}  // namespace tw
