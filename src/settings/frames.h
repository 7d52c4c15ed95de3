// Coordinate frames: 4x4 row-major matrices of doubles whose columns 0, 1
// and 2 hold the unit x, y and z axes (rows 0 to 2), column 3 the origin,
// and whose bottom row is 0, 0, 0, 1. Axes and origins are read from
// parameter or ".CFG" entries holding three numbers "x y z".
#pragma once

#include "twpntopt.h"

namespace tw {

using FrameMatrix = double[16];

// Shortest axis that still has a direction; shorter ones are ignored.
inline constexpr double kMinAxisLength = 1e-8;
// Frames whose axis block has a determinant this small have no inverse.
inline constexpr double kMinFrameDeterminant = 1e-12;

// Frame columns.
inline constexpr int kAxisX = 0;
inline constexpr int kAxisY = 1;
inline constexpr int kAxisZ = 2;
inline constexpr int kOrigin = 3;

void setIdentity(FrameMatrix& matrix);
void copyFrame(const FrameMatrix& from, FrameMatrix& to);

// For each node named exactly `name`: when its value holds three numbers
// and their vector is longer than kMinAxisLength, stores the vector divided
// by its length in x, y and z. With `firstOnly` only the first node of that
// name is tried (usable or not); otherwise every one in list order, so the
// last usable one wins.
void setAxis(const Parameter* list, const char* name, bool firstOnly, double& x, double& y, double& z);

// As setAxis, without the length test and without dividing.
void setOrigin(const Parameter* list, const char* name, bool firstOnly, double& x, double& y, double& z);

// setAxis or setOrigin (for kOrigin) into a column of `matrix`.
void setFrameColumn(const Parameter* list, const char* name, bool firstOnly, FrameMatrix& matrix, int column);

// The inverse of a frame by its adjugate: the adjugate of the whole matrix
// times 1/d, where d is the determinant of the upper-left 3x3 block; the
// identity when |d| <= kMinFrameDeterminant. `result` may be `matrix`.
void invertFrame(const FrameMatrix& matrix, FrameMatrix& result);

// Rows 0 to 2 of left times right (sums over all four terms, left to right),
// with the bottom row 0, 0, 0, 1. `result` may be either operand.
void multiplyFrames(const FrameMatrix& left, const FrameMatrix& right, FrameMatrix& result);

}  // namespace tw
