// find-program-icon PICTURE: looks for the program's icon, pixel for
// pixel, in a screenshot. Every opaque pixel of the icon must match
// exactly; the transparent ones must show one and the same colour (the
// background it is drawn on). Prints the icon's position and exits with 0
// when found, 1 when not.
#include <cstdio>

#include "app/linux/dialog/program_icon.h"

namespace {

bool Matches(const guchar* shot, int shotStride, int shotChannels, const guchar* icon,
             int iconStride, int x0, int y0) {
    const guchar* background = nullptr;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const guchar* want = icon + y * iconStride + x * 4;
            const guchar* got = shot + (y0 + y) * shotStride + (x0 + x) * shotChannels;
            if (want[3] == 0) {
                if (background == nullptr)
                    background = got;
                else if (got[0] != background[0] || got[1] != background[1] ||
                         got[2] != background[2])
                    return false;
            } else if (want[3] != 255 || got[0] != want[0] || got[1] != want[1] ||
                       got[2] != want[2]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: find-program-icon PICTURE\n");
        return 2;
    }
    GdkPixbuf* icon = wendrel::linux_app::LoadProgramIcon();
    GdkPixbuf* shot = gdk_pixbuf_new_from_file(argv[1], nullptr);
    if (icon == nullptr || shot == nullptr) {
        std::fprintf(stderr, "find-program-icon: cannot load the icon or '%s'\n", argv[1]);
        return 2;
    }
    const int width = gdk_pixbuf_get_width(shot), height = gdk_pixbuf_get_height(shot);
    const guchar* shotPixels = gdk_pixbuf_read_pixels(shot);
    const guchar* iconPixels = gdk_pixbuf_read_pixels(icon);
    int found = 0;
    for (int y = 0; y + 32 <= height; ++y) {
        for (int x = 0; x + 32 <= width; ++x) {
            if (Matches(shotPixels, gdk_pixbuf_get_rowstride(shot), gdk_pixbuf_get_n_channels(shot),
                        iconPixels, gdk_pixbuf_get_rowstride(icon), x, y)) {
                std::printf("%d %d\n", x, y);
                ++found;
            }
        }
    }
    g_object_unref(shot);
    g_object_unref(icon);
    return found == 1 ? 0 : 1;
}
