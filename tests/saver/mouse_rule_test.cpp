#include "saver/mouse_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace wendrel {
namespace {

TEST(MouseRule, FirstPositionOnlyRecords) {
    CMouseRule rule;
    EXPECT_FALSE(rule.OnMove(900, 700));
    EXPECT_FALSE(rule.OnMove(905, 705));
    EXPECT_TRUE(rule.OnMove(906, 706));
}

TEST(MouseRule, BothAxesMustExceedFive) {
    CMouseRule rule;
    rule.OnMove(100, 100);
    EXPECT_FALSE(rule.OnMove(105, 200));
    EXPECT_FALSE(rule.OnMove(200, 103));
    EXPECT_TRUE(rule.OnMove(106, 106));
    EXPECT_TRUE(rule.OnMove(94, 94));
}

TEST(MouseRule, MeasuresFromTheFirstPositionNotThePrevious) {
    CMouseRule rule;
    rule.OnMove(100, 100);
    EXPECT_FALSE(rule.OnMove(103, 103));
    EXPECT_TRUE(rule.OnMove(106, 106));
}

// Once a monitor lies left of or above the primary, positions there are
// negative: any of them may be the first, and is measured from like others.
TEST(MouseRule, AnyPositionCanBeTheFirst) {
    for (const MousePoint first : {MousePoint{-100, -100}, MousePoint{-1024, -768},
                                   MousePoint{-100, 300}, MousePoint{0, 0}}) {
        SCOPED_TRACE(std::to_string(first.x) + "," + std::to_string(first.y));
        CMouseRule rule;
        EXPECT_FALSE(rule.OnMove(first.x, first.y));
        EXPECT_FALSE(rule.OnMove(first.x + 5, first.y + 5));
        EXPECT_TRUE(rule.OnMove(first.x + 6, first.y + 6));
        EXPECT_TRUE(rule.OnMove(first.x - 6, first.y - 6));
    }
}

TEST(MouseRule, ResetForgetsThePosition) {
    CMouseRule rule;
    rule.OnMove(100, 100);
    rule.Reset();
    EXPECT_FALSE(rule.OnMove(300, 300));
    EXPECT_TRUE(rule.OnMove(294, 294));
}

}  // namespace
}  // namespace wendrel
