#include "scene/packaged_pictures.h"

#include <cstring>

#include "scene/frame_buffer.h"
#include "scene/picture_decoder.h"

namespace wendrel {

bool LoadPackagedPicture(int resourceId, std::int32_t width, std::int32_t height, std::uint8_t* out,
                         std::string& error) {
    DibView view;
    const auto bytes = PackagedBitmap(resourceId);
    if (bytes.empty()) {
        error = "no packaged bitmap " + std::to_string(resourceId);
    } else if (ParsePackedDib(bytes, view, error)) {
        ConvertTo24(view, width, height, out);
        return true;
    } else {
        error = "packaged bitmap " + std::to_string(resourceId) + ": " + error;
    }
    std::memset(out, 0, static_cast<std::size_t>(RowStride24(width) * height));
    return false;
}

}  // namespace wendrel
