#include "twbatch/job_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace twbatch {
namespace {

bool samePoints(const Job& a, const Job& b) {
    if (a.contours.size() != b.contours.size()) return false;
    for (std::size_t c = 0; c < a.contours.size(); ++c) {
        if (a.contours[c].size() != b.contours[c].size()) return false;
        for (std::size_t i = 0; i < a.contours[c].size(); ++i) {
            if (a.contours[c][i].x != b.contours[c][i].x || a.contours[c][i].y != b.contours[c][i].y) return false;
        }
    }
    return true;
}

TEST(JobSet, SameSeedSameJobOtherSeedOtherJob) {
    EXPECT_TRUE(samePoints(makeJob(5), makeJob(5)));
    EXPECT_EQ(exchangeText(makeJob(5)), exchangeText(makeJob(5)));
    EXPECT_FALSE(samePoints(makeJob(5), makeJob(6)));
}

// What makes the jobs sharp, counted over the seeds CI uses: exact ties
// (repeated distances and repeated points), near-ties where two distances
// from one point differ by 0.001 within a few ulps without being equal to it
// in floating point, and jobs with hundreds of points.
TEST(JobSet, JobsAreRichInTiesAndNearTies) {
    int duplicates = 0, nearTies = 0, large = 0;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        const Job job = makeJob(seed);
        std::size_t points = 0;
        bool duplicate = false, nearTie = false;
        for (const std::vector<JobPoint>& contour : job.contours) {
            points += contour.size();
            ASSERT_FALSE(contour.empty()) << seed;
            std::set<std::pair<double, double>> seen;
            for (const JobPoint& p : contour) duplicate |= !seen.insert({p.x, p.y}).second;
            for (std::size_t i = 0; i < contour.size() && i < 40 && !nearTie; ++i) {
                for (std::size_t j = 0; j < contour.size() && !nearTie; ++j) {
                    const double dj = std::hypot(contour[j].x - contour[i].x, contour[j].y - contour[i].y);
                    for (std::size_t k = 0; k < contour.size() && !nearTie; ++k) {
                        const double dk = std::hypot(contour[k].x - contour[i].x, contour[k].y - contour[i].y);
                        const double gap = dk - dj - 0.001;
                        nearTie = dj > 0 && gap != 0 && std::abs(gap) < 1e-11;
                    }
                }
            }
        }
        EXPECT_LE(points, kMostPoints) << seed;
        duplicates += duplicate;
        nearTies += nearTie;
        large += points >= 200;
    }
    EXPECT_GE(duplicates, 30);
    EXPECT_GE(nearTies, 30);
    EXPECT_GE(large, 20);
}

TEST(JobSet, CoordinatesReadBackAsTheSameDoubles) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const Job job = makeJob(seed);
        const std::string text = exchangeText(job);
        std::size_t at = 0;
        for (const std::vector<JobPoint>& contour : job.contours) {
            for (const JobPoint& p : contour) {
                at = text.find("x[", at);
                ASSERT_NE(at, std::string::npos);
                EXPECT_EQ(std::strtod(text.c_str() + at + 2, nullptr), p.x);
                at = text.find("y[", at);
                EXPECT_EQ(std::strtod(text.c_str() + at + 2, nullptr), p.y);
            }
        }
    }
}

TEST(JobSet, ParameterFileSetsEverythingARunDependsOn) {
    const std::string text = parameterText(makeJob(3), "insert");
    for (const char* line : {"geoSource := source.twx\n", "geoOut := insert.twx\n", "algorithm := insert\n",
                             "startX := ", "startY := ", "precision := ", "removeTempFiles := true\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(jobFolderName(7), "job007");
    EXPECT_EQ(jobFolderName(199), "job199");
}

}  // namespace
}  // namespace twbatch
