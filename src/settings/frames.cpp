#include "settings/frames.h"

#include <cmath>
#include <cstring>

#include "exchange/number_triple.h"

namespace tw {
namespace {

constexpr FrameMatrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

double& at(FrameMatrix& matrix, int row, int column) { return matrix[row * 4 + column]; }
double at(const FrameMatrix& matrix, int row, int column) { return matrix[row * 4 + column]; }

bool sameName(const Parameter* node, const char* name) {
    return node->name != nullptr && std::strcmp(node->name, name) == 0;
}

// Calls `store` with the three numbers of every node named `name` that has
// them, honouring the first-only rule.
template <typename Store>
void forEachTriple(const Parameter* list, const char* name, bool firstOnly, Store store) {
    if (name == nullptr) return;
    for (const Parameter* node = list; node != nullptr; node = node->next) {
        if (!sameName(node, name)) continue;
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        if (parseNumberTriple(node->value, x, y, z) == 3) store(x, y, z);
        if (firstOnly) return;
    }
}

// Determinant of the 3x3 matrix left of `matrix` without `skipRow` and
// `skipColumn`, expanded along its first row.
double minor3(const FrameMatrix& matrix, int skipRow, int skipColumn) {
    int rows[3];
    int columns[3];
    for (int i = 0, r = 0; i < 4; ++i) {
        if (i != skipRow) rows[r++] = i;
    }
    for (int i = 0, c = 0; i < 4; ++i) {
        if (i != skipColumn) columns[c++] = i;
    }
    auto m = [&](int r, int c) { return at(matrix, rows[r], columns[c]); };
    return m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
           m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
           m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
}

}  // namespace

void setIdentity(FrameMatrix& matrix) { copyFrame(kIdentity, matrix); }

void copyFrame(const FrameMatrix& from, FrameMatrix& to) { std::memmove(to, from, sizeof(FrameMatrix)); }

void setAxis(const Parameter* list, const char* name, bool firstOnly, double& x, double& y, double& z) {
    forEachTriple(list, name, firstOnly, [&](double ax, double ay, double az) {
        const double length = std::sqrt(ax * ax + ay * ay + az * az);
        if (length > kMinAxisLength) {
            x = ax / length;
            y = ay / length;
            z = az / length;
        }
    });
}

void setOrigin(const Parameter* list, const char* name, bool firstOnly, double& x, double& y, double& z) {
    forEachTriple(list, name, firstOnly, [&](double ox, double oy, double oz) {
        x = ox;
        y = oy;
        z = oz;
    });
}

void setFrameColumn(const Parameter* list, const char* name, bool firstOnly, FrameMatrix& matrix, int column) {
    double& x = at(matrix, 0, column);
    double& y = at(matrix, 1, column);
    double& z = at(matrix, 2, column);
    if (column == kOrigin) {
        setOrigin(list, name, firstOnly, x, y, z);
    } else {
        setAxis(list, name, firstOnly, x, y, z);
    }
}

void invertFrame(const FrameMatrix& matrix, FrameMatrix& result) {
    const double determinant = minor3(matrix, 3, 3);
    if (!(std::fabs(determinant) > kMinFrameDeterminant)) {
        setIdentity(result);
        return;
    }
    const double scale = 1.0 / determinant;
    FrameMatrix inverse;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double sub = minor3(matrix, i, j);
            const double cofactor = (i + j) % 2 == 0 ? sub : -sub;
            at(inverse, j, i) = cofactor * scale;
        }
    }
    copyFrame(inverse, result);
}

void multiplyFrames(const FrameMatrix& left, const FrameMatrix& right, FrameMatrix& result) {
    FrameMatrix product;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            double sum = at(left, row, 0) * at(right, 0, column);
            for (int k = 1; k < 4; ++k) sum += at(left, row, k) * at(right, k, column);
            at(product, row, column) = sum;
        }
    }
    at(product, 3, 0) = 0.0;
    at(product, 3, 1) = 0.0;
    at(product, 3, 2) = 0.0;
    at(product, 3, 3) = 1.0;
    copyFrame(product, result);
}

}  // namespace tw
