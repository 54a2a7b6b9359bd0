#include <gtest/gtest.h>

#include "app/render/render_options.h"

namespace wendrel::render {
namespace {

std::optional<RenderOptions> Parse(std::vector<std::string> args, std::string* why = nullptr) {
    std::string error;
    auto options = ParseRenderOptions(args, error);
    if (why != nullptr)
        *why = error;
    if (!options) {
        EXPECT_FALSE(error.empty());
    }
    return options;
}

TEST(RenderOptions, EveryOptionIsRead) {
    const auto o = Parse({"--ticks", "250", "--seed", "4294967295", "--direct", "--out", "f",
                          "--every", "25", "--format", "png", "--trace", "-", "--images", "img"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->ticks, 250u);
    EXPECT_EQ(o->seed, 4294967295u);
    EXPECT_TRUE(o->direct);
    EXPECT_EQ(o->outDir, "f");
    EXPECT_EQ(o->every, 25u);
    EXPECT_EQ(o->format, PictureFormat::Png);
    EXPECT_EQ(o->traceFile, "-");
    EXPECT_EQ(o->imagesDir, "img");

    const auto defaults = Parse({"--ticks", "0"});
    ASSERT_TRUE(defaults);
    EXPECT_FALSE(defaults->seed);
    EXPECT_FALSE(defaults->direct);
    EXPECT_EQ(defaults->every, 1u);
    EXPECT_EQ(defaults->format, PictureFormat::Bmp);
    EXPECT_TRUE(defaults->outDir.empty());
}

TEST(RenderOptions, BadArgumentsAreRefusedWithAReason) {
    std::string why;
    EXPECT_FALSE(Parse({}, &why));
    EXPECT_NE(why.find("--ticks"), std::string::npos);
    EXPECT_FALSE(Parse({"--ticks"}));
    EXPECT_FALSE(Parse({"--ticks", "-1"}));
    EXPECT_FALSE(Parse({"--ticks", "12x"}));
    EXPECT_FALSE(Parse({"--ticks", ""}));
    EXPECT_FALSE(Parse({"--ticks", "1", "--seed", "4294967296"}));
    EXPECT_FALSE(Parse({"--ticks", "1", "--seed", "-5"}));
    EXPECT_FALSE(Parse({"--ticks", "1", "--every", "0"}));
    EXPECT_FALSE(Parse({"--ticks", "1", "--format", "gif"}, &why));
    EXPECT_NE(why.find("gif"), std::string::npos);
    EXPECT_FALSE(Parse({"--ticks", "1", "--out", ""}));
    EXPECT_FALSE(Parse({"--ticks", "1", "--frobnicate"}, &why));
    EXPECT_NE(why.find("--frobnicate"), std::string::npos);
    EXPECT_FALSE(Parse({"--ticks", "1", "stray"}));
}

}  // namespace
}  // namespace wendrel::render
