#include "saver/mouse_rule.h"

#include <gtest/gtest.h>

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

TEST(MouseRule, ResetForgetsThePosition) {
    CMouseRule rule;
    rule.OnMove(100, 100);
    rule.Reset();
    EXPECT_FALSE(rule.OnMove(300, 300));
    EXPECT_TRUE(rule.OnMove(294, 294));
}

}  // namespace
}  // namespace wendrel
