// The settings text: which values read as stored, and what a write keeps.
#include "app/linux/settings_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace wendrel::linux_app {
namespace {

TEST(SettingsText, ReadsGiveTheDefaultUnlessAWholeNumberIsStored) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"[LEAF]\nNoDirect=1\n", 1},
        {"[LEAF]\nNoDirect=7\n", 7},
        {"[LEAF]\nNoDirect = -5\n", -5},
        {"[LEAF]\r\nNoDirect=2\r\n", 2},
        {"[ LEAF ]\nOther=3\nNoDirect=4", 4},
        {"[LEAF]\nNoDirect=\n", std::nullopt},
        {"[LEAF]\nNoDirect=yes\n", std::nullopt},
        {"[LEAF]\nNoDirect=1x\n", std::nullopt},
        {"[LEAF]\nNoDirect=4294967296\n", std::nullopt},  // out of range
        {"[OTHER]\nNoDirect=1\n", std::nullopt},          // another section
        {"NoDirect=1\n", std::nullopt},                   // no section
        {"\x01\xff garbage [LEAF\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(FindSettingValue(text, "LEAF", "NoDirect"), expected) << text;
        EXPECT_EQ(FindSettingValue(text, "LEAF", "Missing"), std::nullopt) << text;
    }
}

TEST(SettingsText, WritesReplaceTheValueAndKeepEverythingElse) {
    const struct {
        const char* before;
        std::int32_t value;
        const char* after;
    } cases[] = {
        {"", 1, "[LEAF]\nNoDirect=1\n"},
        {"# mine\n[LEAF]\nOther=4\nNoDirect=7\n\n[MORE]\nNoDirect=9\n", 0,
         "# mine\n[LEAF]\nOther=4\nNoDirect=0\n\n[MORE]\nNoDirect=9\n"},
        {"[LEAF]\nOther=4\n\n[MORE]\nx=1\n", -5, "[LEAF]\nOther=4\nNoDirect=-5\n\n[MORE]\nx=1\n"},
        {"[MORE]\nx=1", 2, "[MORE]\nx=1\n[LEAF]\nNoDirect=2\n"},
        {"[LEAF]\r\nOther=4\r\n", 3, "[LEAF]\r\nOther=4\r\nNoDirect=3\r\n"},
    };
    for (const auto& c : cases) {
        const std::string after = SetSettingValue(c.before, "LEAF", "NoDirect", c.value);
        EXPECT_EQ(after, c.after) << c.before;
        EXPECT_EQ(FindSettingValue(after, "LEAF", "NoDirect"), c.value) << c.before;
    }
}

}  // namespace
}  // namespace wendrel::linux_app
