// The mouse cursor (four-headed arrow) and the program icon (a maple leaf).
#pragma once

#include "tools/artgen/bmp_writer.h"

namespace art {

constexpr int kCursorHotX = 15;
constexpr int kCursorHotY = 15;

Bytes make_cursor();
Bytes make_icon();

}  // namespace art
