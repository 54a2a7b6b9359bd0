#include "display/x11/saver_cursor.h"

#include <gtest/gtest.h>

#include <vector>

#include "res/embedded/embedded_files.h"

namespace wendrel::display {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

// An 8 x 2 cursor: top row black, white, transparent, inverting, then
// transparent; bottom row white.
std::vector<std::uint8_t> SmallCursorFile() {
    std::vector<std::uint8_t> b;
    Put16(b, 0);
    Put16(b, 2);
    Put16(b, 1);
    b.insert(b.end(), {8, 2, 2, 0});
    Put16(b, 3);  // hot spot
    Put16(b, 1);
    Put32(b, 40 + 8 + 8 + 8);
    Put32(b, 22);
    Put32(b, 40);
    Put32(b, 8);
    Put32(b, 4);  // both bitmaps
    Put16(b, 1);
    Put16(b, 1);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    b.insert(b.end(), {0, 0, 0, 0, 255, 255, 255, 0});  // black, white
    // XOR rows, bottom first: bottom all colour 1; top 0 1 0 1 0 0 0 0.
    b.insert(b.end(), {0xff, 0, 0, 0, 0x50, 0, 0, 0});
    // AND rows, bottom first: bottom opaque; top 0 0 1 1 1 1 1 1.
    b.insert(b.end(), {0x00, 0, 0, 0, 0x3f, 0, 0, 0});
    return b;
}

TEST(SaverCursor, MapsColoursMaskAndRowOrder) {
    std::string error;
    const auto cursor = DecodeMonoCursor(SmallCursorFile(), error);
    ASSERT_TRUE(cursor.has_value()) << error;
    EXPECT_EQ(cursor->width, 8);
    EXPECT_EQ(cursor->height, 2);
    EXPECT_EQ(cursor->hotX, 3);
    EXPECT_EQ(cursor->hotY, 1);
    EXPECT_EQ(cursor->data, (std::vector<std::uint8_t>{0x90, 0x00}));
    EXPECT_EQ(cursor->mask, (std::vector<std::uint8_t>{0xc0, 0xff}));
}

TEST(SaverCursor, RefusesWhatIsNoCursor) {
    std::string error;
    EXPECT_FALSE(DecodeMonoCursor({}, error).has_value());
    std::vector<std::uint8_t> file = SmallCursorFile();
    file.erase(file.end() - 4, file.end());  // cut short
    EXPECT_FALSE(DecodeMonoCursor(file, error).has_value());
    file = SmallCursorFile();
    file[2] = 1;  // an icon, not a cursor
    EXPECT_FALSE(DecodeMonoCursor(file, error).has_value());
}

bool IsSet(const std::vector<std::uint8_t>& bits, int x, int y) {
    return (bits[static_cast<std::size_t>(y * 4 + x / 8)] >> (7 - x % 8) & 1) != 0;
}

TEST(SaverCursor, PackagedCursorIsTheFourHeadedArrow) {
    std::string error;
    const auto cursor = DecodeMonoCursor(embedded::FindFile("wendrel.cur"), error);
    ASSERT_TRUE(cursor.has_value()) << error;
    EXPECT_EQ(cursor->width, 32);
    EXPECT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hotX, 15);
    EXPECT_EQ(cursor->hotY, 15);
    EXPECT_TRUE(IsSet(cursor->mask, 15, 15));
    EXPECT_FALSE(IsSet(cursor->mask, 0, 0));
    EXPECT_FALSE(IsSet(cursor->mask, 31, 31));
    // Arms reach out along both axes, not along the diagonals.
    int onAxes = 0, onDiagonal = 0;
    for (int d = 5; d < 12; ++d) {
        onAxes += IsSet(cursor->mask, 15, 15 - d) + IsSet(cursor->mask, 15, 15 + d) +
                  IsSet(cursor->mask, 15 - d, 15) + IsSet(cursor->mask, 15 + d, 15);
        onDiagonal += IsSet(cursor->mask, 15 - d, 15 - d) + IsSet(cursor->mask, 15 + d, 15 + d);
    }
    EXPECT_GT(onAxes, 20);
    EXPECT_EQ(onDiagonal, 0);
}

}  // namespace
}  // namespace wendrel::display
