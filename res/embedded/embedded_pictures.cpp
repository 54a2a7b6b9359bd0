// Packaged bitmaps for programs that carry the pictures compiled in.
#include <string>

#include "res/embedded/embedded_files.h"
#include "scene/packaged_pictures.h"

namespace wendrel {

namespace embedded {

std::span<const std::uint8_t> FindFile(std::string_view name) {
    for (std::size_t i = 0; i < kFileCount; ++i) {
        if (name == kFiles[i].name)
            return {kFiles[i].data, kFiles[i].size};
    }
    return {};
}

}  // namespace embedded

std::span<const std::uint8_t> PackagedBitmap(int resourceId) {
    std::string name;
    if (resourceId == kBackgroundBitmapId)
        name = "background.bmp";
    else if (resourceId >= IDB_LEAF_FIRST && resourceId <= IDB_LEAF_LAST)
        name = "leaf" + std::to_string(resourceId) + ".bmp";
    else
        return {};
    // A bitmap resource holds what follows a .bmp file's 14-byte header.
    const auto file = embedded::FindFile(name);
    if (file.size() < 14 || file[0] != 'B' || file[1] != 'M')
        return {};
    return file.subspan(14);
}

}  // namespace wendrel
