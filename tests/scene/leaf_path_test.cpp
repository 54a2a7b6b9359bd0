#include <gtest/gtest.h>

#include "scene/leaf.h"
#include "scene/leaf_images.h"
#include "scene/leaf_path.h"
#include "scene/random.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

// How many draws took the generator from state `from` to state `to`.
int DrawsBetween(std::uint32_t from, std::uint32_t to) {
    for (int n = 0; n < 1000000; ++n) {
        if (from == to)
            return n;
        from = from * 214013u + 2531011u;
    }
    return -1;
}

void ExpectWellFormedWalk(const PathPointArray& points) {
    ASSERT_GE(points.size(), 6u);
    EXPECT_EQ(points.front().y, -48);
    EXPECT_GE(points.front().x, 0);
    EXPECT_LE(points.front().x, 639);
    const std::size_t n = points.size();
    EXPECT_EQ(points[n - 1], points[n - 2]);  // end point doubled
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const int dx = points[i].x - points[i - 1].x;
        const int dy = points[i].y - points[i - 1].y;
        ASSERT_GE(dx, -80);
        ASSERT_LE(dx, 79);
        ASSERT_GE(dy, -20);
        ASSERT_LE(dy, 39);
        // Every point before the last was still inside the walking area.
        ASSERT_LT(points[i - 1].y, 528);
        ASSERT_GE(points[i - 1].x, -200);
        ASSERT_LE(points[i - 1].x, 840);
    }
    const PathPoint end = points[n - 2];
    EXPECT_TRUE(end.y >= 528 || end.x < -200 || end.x > 840);
}

TEST(LeafPath, WalksAreWellFormedAndPathsAreTenPerSpan) {
    testing::FreshSaver saver(2024);
    for (int i = 0; i < 2000; ++i) {
        const PathPointArray points = PlanControlPoints(640, 480);
        ExpectWellFormedWalk(points);
        const PathPointArray path = SmoothControlPoints(points);
        ASSERT_EQ(path.size(), 10 * (points.size() - 3));
        ASSERT_EQ(path.size() % 10, 0u);
        ASSERT_GE(path.size(), 30u);
        // At t = 0 a sample is (Q0 + 4 Q1 + Q2) / 6, truncated.
        for (std::size_t s = 0; s + 3 < points.size(); ++s) {
            const double x = (points[s].x + 4.0 * points[s + 1].x + points[s + 2].x) / 6;
            ASSERT_NEAR(path[10 * s].x, static_cast<int>(x), 1);
        }
    }
}

TEST(LeafPath, ShortWalksAreThrownAwayAndPlannedAfresh) {
    testing::FreshSaver saver;
    int restarts = 0;
    for (std::uint32_t seed = 1; seed < 200000 && restarts < 3; ++seed) {
        SeedRandom(seed);
        const PathPointArray points = PlanControlPoints(640, 480);
        const int walkDraws = 1 + 2 * static_cast<int>(points.size() - 2);
        const int used = DrawsBetween(seed, RandomState());
        if (used == walkDraws)
            continue;
        ++restarts;
        ExpectWellFormedWalk(points);
        // The kept walk starts with the draw that followed the discarded
        // one, which left sideways within three steps.
        SeedRandom(seed);
        std::int32_t x = Rand() % 640;
        int steps = 0;
        while (x >= -200 && x <= 840) {
            x += Rand() % 160 - 80;
            Rand();
            ++steps;
        }
        EXPECT_LE(steps, 3);
        EXPECT_EQ(used, walkDraws + 1 + 2 * steps);
    }
    EXPECT_EQ(restarts, 3) << "no seed gave a short walk";
}

TEST(LeafPath, ConstantControlPointsGiveAStillPath) {
    // The basis sums to 6, but in double precision the sum times 1/6 can
    // land just short of the whole number, which truncation then drops:
    // a sample is the point itself or one pixel nearer zero, never more.
    // At t = 0 and t = 0.5 the arithmetic is exact.
    for (const PathPoint q : {PathPoint{123, -45}, PathPoint{-299, 527}, PathPoint{0, 0}}) {
        const PathPoint expectedNearZero{q.x - (q.x > 0) + (q.x < 0), q.y - (q.y > 0) + (q.y < 0)};
        const PathPointArray path = SmoothControlPoints(PathPointArray(7, q));
        ASSERT_EQ(path.size(), 40u);
        for (std::size_t k = 0; k < path.size(); ++k) {
            EXPECT_TRUE(path[k].x == q.x || path[k].x == expectedNearZero.x) << k;
            EXPECT_TRUE(path[k].y == q.y || path[k].y == expectedNearZero.y) << k;
            if (k % 10 == 0 || k % 10 == 5) {
                EXPECT_EQ(path[k], q) << k;
            }
        }
    }
    // 123 is one of the values that come out one short at t = 0.4.
    EXPECT_EQ(SmoothControlPoints(PathPointArray(4, PathPoint{123, 0}))[4].x, 122);

    // Evenly spaced points give evenly spaced samples (up to truncation).
    PathPointArray line;
    for (int i = 0; i < 6; ++i)
        line.push_back({60 * i, 30 * i});
    const PathPointArray smooth = SmoothControlPoints(line);
    ASSERT_EQ(smooth.size(), 30u);
    for (std::size_t k = 0; k < smooth.size(); ++k) {
        EXPECT_NEAR(smooth[k].x, 60 + 6 * static_cast<int>(k), 1) << k;
        EXPECT_NEAR(smooth[k].y, 30 + 3 * static_cast<int>(k), 1) << k;
    }
}

TEST(LeafPath, ConstructionDrawsThePathThenTheImageSlot) {
    testing::FreshSaver saver(77);
    const PathPointArray points = PlanControlPoints(640, 480);
    const int slot = Rand() % 8;
    SeedRandom(77);
    CLeaf leaf(640, 480);
    EXPECT_EQ(leaf.path, SmoothControlPoints(points));
    EXPECT_EQ(leaf.pathIndex, 0);
    EXPECT_EQ(leaf.spin | leaf.tilt | leaf.spinRate | leaf.tiltRate, 0);
    EXPECT_EQ(leaf.image, LeafImageSlot(slot));
    EXPECT_EQ(leaf.sceneWidth, 640);
    EXPECT_EQ(leaf.sceneHeight, 480);
}

}  // namespace
}  // namespace wendrel
