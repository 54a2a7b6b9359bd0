// Packaged bitmaps for the Windows saver: its own bitmap resources.
#include <windows.h>

#include "scene/packaged_pictures.h"

namespace wendrel {

std::span<const std::uint8_t> PackagedBitmap(int resourceId) {
    // A bitmap resource is a packed DIB: the file's 14-byte header is gone.
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(2));
    if (info == nullptr)
        return {};
    HGLOBAL handle = LoadResource(module, info);
    const void* data = handle != nullptr ? LockResource(handle) : nullptr;
    if (data == nullptr)
        return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, info)};
}

}  // namespace wendrel
