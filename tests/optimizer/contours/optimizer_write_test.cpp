#include "optimizer/contours/optimizer_write.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "output/format_real.h"

namespace tw {
namespace {

struct Point {
    const char* name;
    double x;
    double y;
    double z;
    double surface = 0;
    double depth = 0;
};

class OptimizerWrite : public ::testing::Test {
protected:
    void TearDown() override {
        optimizerDestroy(optimizer);
        setOutputPrecision(kDefaultOutputPlaces);
    }

    void make(const char* name, const std::vector<Point>& points) {
        optimizer = optimizerCreate(&StandardPathOptimizer, name);
        ASSERT_NE(optimizer, nullptr);
        for (const Point& p : points) {
            ASSERT_EQ(optimizerAddPoint(optimizer, p.name, p.x, p.y, p.z, p.surface, p.depth), 1);
        }
    }

    // What the class record's write operation puts into a file.
    std::string written(int mode) {
        std::FILE* file = std::tmpfile();
        EXPECT_NE(file, nullptr);
        EXPECT_EQ(optimizerWrite(optimizer, file, mode), 1);
        std::rewind(file);
        std::string text;
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(static_cast<char>(c));
        std::fclose(file);
        return text;
    }

    PathOptimizer* optimizer = nullptr;
};

TEST_F(OptimizerWrite, PlainPointsWriteOnlyChangedCoordinates) {
    make("HOLES", {{"P1", 1, 2, 0, 0.5, -3}, {nullptr, 1, 2.5, 0}, {"ThisNameIsTooLongForIt", 4, 2.5, 1}});
    EXPECT_EQ(written(0),
              "oContour[HOLES]( n[3] )\n{\n"
              "  vsurface(0.5)\n  vdepth(-3)\n  oP[P1]( x[1] y[2] z[0] )\n"
              "  vsurface(0)\n  vdepth(0)\n  oP( y[2.5] )\n"
              "  vsurface(0)\n  vdepth(0)\n  oP[ThisNameIsTooL]( x[4] z[1] )\n"
              "}\n\n");
}

TEST_F(OptimizerWrite, PathWithBoundsStartMarkerAndLength) {
    make("T", {{nullptr, 4, 0, 0}, {"A", 0, 3, 0, 1, 2}, {nullptr, 4, 3, 0}});
    optimizer->order = {1, 2, 0};
    optimizerSetStartPoint(optimizer, "S", 0, 0, 5);
    optimizerComputeLength(optimizer);
    const std::string contour =
        "oContour[T]( n[3] l[10] sp[0/0/5] )\n{\n"
        "  oM( x[/0] y[/3] z[/0] )\n"
        "  vsurface(0)\n  vdepth(0)\n  oL( x[/4] )\n"
        "  vsurface(0)\n  vdepth(0)\n  oL( y[/0] )\n"
        "}\n\n";
    EXPECT_EQ(written(1),
              "vminX(0)\nvmaxX(4)\nvminY(0)\nvmaxY(3)\n\n"
              "oContour( )\n{\n"
              "  oM( x[/-0.02] y[/0.02] )\n"
              "  oL( y[/-0.02] )\n  oL( x[/0.02] )\n  oL( y[/0.02] )\n  oL( x[/-0.02] )\n"
              "}\n\n" +
                  contour);
    // Other path modes write the same contour without bounds and marker.
    EXPECT_EQ(written(2), contour);
    EXPECT_EQ(written(-1), contour);
}

TEST_F(OptimizerWrite, BoundsIncludeTheStartPointAndNeedNoMarkerWithoutIt) {
    make(nullptr, {{nullptr, 1, 1, 0}, {nullptr, 2, 3, 0}});
    EXPECT_EQ(written(1),
              "vminX(1)\nvmaxX(2)\nvminY(1)\nvmaxY(3)\n\n"
              "oContour( n[2] )\n{\n"
              "  oM( x[/1] y[/1] z[/0] )\n"
              "  vsurface(0)\n  vdepth(0)\n  oL( x[/2] y[/3] )\n"
              "}\n\n");
    optimizerSetStartPoint(optimizer, nullptr, -9, 1, 0);
    const std::string text = written(1);
    EXPECT_EQ(text.substr(0, text.find("\n\n") + 2), "vminX(-9)\nvmaxX(2)\nvminY(1)\nvmaxY(3)\n\n");
    // m = 0.005 * 11
    EXPECT_NE(text.find("  oM( x[/-9.055] y[/1.055] )\n"), std::string::npos);
}

TEST_F(OptimizerWrite, TooFewPointsWriteNothing) {
    make("E", {});
    EXPECT_EQ(written(0), "");
    EXPECT_EQ(written(1), "");
    optimizerAddPoint(optimizer, nullptr, 7, 8, 9, 0, 0);
    EXPECT_EQ(written(1), "");
    EXPECT_EQ(written(3), "");
    EXPECT_EQ(written(0), "oContour[E]( n[1] )\n{\n  vsurface(0)\n  vdepth(0)\n  oP( x[7] y[8] z[9] )\n}\n\n");
}

TEST_F(OptimizerWrite, NumbersFollowTheOutputPrecision) {
    make("", {{nullptr, 0.125, -0.125, 1.0 / 3}});
    setOutputPrecision(2);
    EXPECT_EQ(written(0), "oContour( n[1] )\n{\n  vsurface(0)\n  vdepth(0)\n  oP( x[0.13] y[-0.12] z[0.33] )\n}\n\n");
}

TEST_F(OptimizerWrite, NullFileOrObjectWritesNothing) {
    make("N", {{nullptr, 1, 2, 3}});
    EXPECT_EQ(optimizerWrite(optimizer, nullptr, 0), 0);
    EXPECT_EQ(optimizerWrite(nullptr, stdout, 0), 0);
    writeOptimizer(*optimizer, nullptr, 1);
}

}  // namespace
}  // namespace tw
