// The 640x480 backdrop: a lane under autumn trees, painted in floating point and reduced to an
// optimised 256-colour palette.
#pragma once

#include "tools/artgen/bmp_writer.h"

namespace art {

Bytes make_background();

}  // namespace art
