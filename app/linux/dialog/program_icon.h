#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace wendrel::linux_app {

// The program's icon, decoded from the compiled-in wendrel.ico: a new
// reference the caller releases, or null when it cannot be decoded.
GdkPixbuf* LoadProgramIcon();

}  // namespace wendrel::linux_app
