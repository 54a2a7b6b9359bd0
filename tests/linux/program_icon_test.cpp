#include <gtest/gtest.h>

#include <cstdint>

#include "app/linux/dialog/program_icon.h"
#include "res/embedded/embedded_files.h"

namespace wendrel::linux_app {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The icon as the dialog shows it holds the packaged icon's pixels: its
// one 32x32 image of 256 colours, transparent where the mask is set.
TEST(ProgramIcon, HoldsThePackagedIconsPixels) {
    const auto ico = embedded::FindFile("wendrel.ico");
    ASSERT_EQ(ico.size(), 2238u);
    const std::uint8_t* image = ico.data() + Le32(ico.data() + 18);
    ASSERT_EQ(Le32(image), 40u);      // BITMAPINFOHEADER
    ASSERT_EQ(Le32(image + 4), 32u);  // width
    ASSERT_EQ(Le32(image + 8), 64u);  // colour rows and mask rows
    ASSERT_EQ(image[14], 8);          // bits per pixel
    const std::uint8_t* palette = image + 40;
    const std::uint8_t* colours = palette + 256 * 4;
    const std::uint8_t* mask = colours + 32 * 32;

    GdkPixbuf* icon = LoadProgramIcon();
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(gdk_pixbuf_get_width(icon), 32);
    ASSERT_EQ(gdk_pixbuf_get_height(icon), 32);
    ASSERT_TRUE(gdk_pixbuf_get_has_alpha(icon));
    ASSERT_EQ(gdk_pixbuf_get_n_channels(icon), 4);
    const int stride = gdk_pixbuf_get_rowstride(icon);
    const guchar* pixels = gdk_pixbuf_read_pixels(icon);
    int opaque = 0, differing = 0;
    for (int y = 0; y < 32; ++y) {
        const int row = 31 - y;  // stored bottom-up
        for (int x = 0; x < 32; ++x) {
            const guchar* got = pixels + y * stride + x * 4;
            const bool transparent = (mask[row * 4 + x / 8] >> (7 - x % 8) & 1) != 0;
            const std::uint8_t* bgr = palette + colours[row * 32 + x] * 4;
            if (transparent) {
                differing += got[3] != 0;
                continue;
            }
            ++opaque;
            differing += got[0] != bgr[2] || got[1] != bgr[1] || got[2] != bgr[0] || got[3] != 255;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(opaque, 200);  // a picture, not an empty square
    EXPECT_LT(opaque, 32 * 32);
    g_object_unref(icon);
}

}  // namespace
}  // namespace wendrel::linux_app
