// The program icon at the sizes desktops ask for, as RGBA PNG files.
#pragma once

#include "tools/artgen/bmp_writer.h"

namespace art {

// The sizes written by --icons, in pixels.
constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon's orange maple leaf drawn at size x size, its edge smoothed by
// coverage alpha, as a PNG file.
Bytes make_icon_png(int size);

}  // namespace art
