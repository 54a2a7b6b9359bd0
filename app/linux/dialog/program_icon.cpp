#include "app/linux/dialog/program_icon.h"

#include "res/embedded/embedded_files.h"

namespace wendrel::linux_app {

GdkPixbuf* LoadProgramIcon() {
    const auto file = embedded::FindFile("wendrel.ico");
    if (file.empty())
        return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("ico", nullptr);
    if (loader == nullptr)
        return nullptr;
    GdkPixbuf* icon = nullptr;
    const bool written = gdk_pixbuf_loader_write(loader, file.data(), file.size(), nullptr);
    if (gdk_pixbuf_loader_close(loader, nullptr) && written) {
        icon = gdk_pixbuf_loader_get_pixbuf(loader);
        if (icon != nullptr)
            g_object_ref(icon);
    }
    g_object_unref(loader);
    return icon;
}

}  // namespace wendrel::linux_app
