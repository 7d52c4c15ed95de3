#include "settings/frames.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "settings/parameter_list.h"

namespace tw {
namespace {

using Matrix = std::array<double, 16>;

Matrix toArray(const FrameMatrix& m) {
    Matrix result;
    for (int i = 0; i < 16; ++i) result[static_cast<std::size_t>(i)] = m[i];
    return result;
}

const Matrix kIdentityArray = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class Frames : public ::testing::Test {
protected:
    ~Frames() override { freeParameters(list); }

    // Appends in file order, as ".CFG" entries are kept.
    void add(const char* name, const char* value) { list = appendEntry(list, name, value, 21); }

    std::array<double, 3> axis(const char* name, bool firstOnly) const {
        std::array<double, 3> v = {-1, -1, -1};
        setAxis(list, name, firstOnly, v[0], v[1], v[2]);
        return v;
    }

    Parameter* list = nullptr;
};

TEST_F(Frames, AxisIsNormalised) {
    add("x", "0 2 0");
    add("y", "3 0 4");
    EXPECT_EQ(axis("x", true), (std::array<double, 3>{0, 1, 0}));
    EXPECT_EQ(axis("y", true), (std::array<double, 3>{0.6, 0, 0.8}));
}

TEST_F(Frames, UnusableAxesLeaveTheDestinations) {
    add("tiny", "1e-9 0 0");
    add("zero", "0 0 0");
    add("two", "1 2");
    add("text", "none");
    for (const char* name : {"tiny", "zero", "two", "text", "absent"}) {
        EXPECT_EQ(axis(name, false), (std::array<double, 3>{-1, -1, -1})) << name;
    }
}

TEST_F(Frames, FirstOnlyStopsAtTheFirstNodeEvenWhenUnusable) {
    add("x", "1 2");
    add("x", "1 0 0");
    add("x", "0 0 5");
    add("x", "bad");
    EXPECT_EQ(axis("x", true), (std::array<double, 3>{-1, -1, -1}));
    EXPECT_EQ(axis("x", false), (std::array<double, 3>{0, 0, 1}));  // last usable one
}

TEST_F(Frames, OriginIsTakenAsWritten) {
    add("o", "10 20 30");
    add("o", "0 0 0");
    double x = -1, y = -1, z = -1;
    setOrigin(list, "o", true, x, y, z);
    EXPECT_EQ((std::array<double, 3>{x, y, z}), (std::array<double, 3>{10, 20, 30}));
    setOrigin(list, "o", false, x, y, z);
    EXPECT_EQ((std::array<double, 3>{x, y, z}), (std::array<double, 3>{0, 0, 0}));
}

TEST_F(Frames, ColumnsHoldAxesAndOrigin) {
    add("x", "0 1 0");
    add("o", "7 8 9");
    FrameMatrix m;
    setIdentity(m);
    setFrameColumn(list, "x", true, m, kAxisX);
    setFrameColumn(list, "o", true, m, kOrigin);
    EXPECT_EQ(toArray(m), (Matrix{0, 0, 0, 7, 1, 1, 0, 8, 0, 0, 1, 9, 0, 0, 0, 1}));
}

TEST(FrameInverse, SingularFrameGivesTheIdentity) {
    const FrameMatrix singular = {1, 2, 0, 5, 2, 4, 0, 6, 0, 0, 0, 7, 0, 0, 0, 1};
    FrameMatrix inverse;
    invertFrame(singular, inverse);
    EXPECT_EQ(toArray(inverse), kIdentityArray);
    const FrameMatrix almost = {1e-5, 0, 0, 0, 0, 1e-4, 0, 0, 0, 0, 1e-4, 0, 0, 0, 0, 1};  // d = 1e-13
    invertFrame(almost, inverse);
    EXPECT_EQ(toArray(inverse), kIdentityArray);
}

TEST(FrameInverse, RotatedAndMovedFrame) {
    // x axis along y, y axis along -x, origin (10, 20, 30).
    const FrameMatrix frame = {0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1};
    FrameMatrix inverse;
    invertFrame(frame, inverse);
    const Matrix expected = {0, 1, 0, -20, -1, 0, 0, 10, 0, 0, 1, -30, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(inverse[i], expected[static_cast<std::size_t>(i)]) << i;
}

TEST(FrameInverse, ScaledFrameUsesTheReciprocalOfTheDeterminant) {
    const FrameMatrix frame = {2, 0, 0, 4, 0, 4, 0, 8, 0, 0, 8, 16, 0, 0, 0, 1};
    FrameMatrix inverse;
    invertFrame(frame, inverse);
    const Matrix expected = {0.5, 0, 0, -2, 0, 0.25, 0, -2, 0, 0, 0.125, -2, 0, 0, 0, 1};
    EXPECT_EQ(toArray(inverse), expected);
}

TEST(FrameInverse, MayOverwriteItsInput) {
    FrameMatrix frame = {0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1};
    invertFrame(frame, frame);
    EXPECT_DOUBLE_EQ(frame[3], -20);
    EXPECT_DOUBLE_EQ(frame[7], 10);
}

TEST(FrameProduct, RowsTimesColumnsWithAFixedBottomRow) {
    const FrameMatrix left = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 9, 9, 9, 9};
    const FrameMatrix right = {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1};
    FrameMatrix product;
    multiplyFrames(left, right, product);
    EXPECT_EQ(toArray(product), (Matrix{1, 2, 3, 18, 5, 6, 7, 46, 9, 10, 11, 74, 0, 0, 0, 1}));
}

TEST(FrameProduct, SumsRunLeftToRight) {
    // ((1e16 + 1) - 1e16) + 0 is 0 in double arithmetic; any other order
    // of the sum gives 1.
    const FrameMatrix left = {1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const FrameMatrix right = {1e16, 0, 0, 0, 1, 1, 0, 0, -1e16, 0, 1, 0, 0, 0, 0, 1};
    FrameMatrix product;
    multiplyFrames(left, right, product);
    EXPECT_EQ(product[0], 0.0);
}

TEST(FrameProduct, InverseTimesFrameIsTheIdentity) {
    FrameMatrix frame = {0.6, 0, -0.8, 3, 0, 1, 0, -4, 0.8, 0, 0.6, 5, 0, 0, 0, 1};
    FrameMatrix inverse;
    invertFrame(frame, inverse);
    multiplyFrames(inverse, frame, frame);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(frame[i], kIdentityArray[static_cast<std::size_t>(i)], 1e-15) << i;
}

}  // namespace
}  // namespace tw
