#include "leaf_images.h"

#include <memory>
#include <string>

#include "frame_buffer.h"
#include "packaged_pictures.h"

namespace wendrel {
namespace {

int refCount = 0;
int buildCount = 0;
std::unique_ptr<BITMAPINFOHEADER> header;
std::unique_ptr<std::uint8_t[]> slots[8];

// Each slot's block: the image, some slack, then its quad table.
constexpr std::uint32_t kQuadTableOffset = kLeafImageBytes + kLeafImageSlack;
constexpr std::uint32_t kSlotBlockBytes =
    kQuadTableOffset + static_cast<std::uint32_t>(kLeafImageSize * kLeafImageSize);
constexpr std::uint8_t kKeyBlue = 127;

void BuildQuadTable(std::uint8_t* block) {
    const std::uint8_t* image = block;
    std::uint8_t* table = block + kQuadTableOffset;
    for (std::int32_t r = 0; r + 1 < kLeafImageSize; ++r) {
        for (std::int32_t c = 0; c + 1 < kLeafImageSize; ++c) {
            const std::uint8_t* s00 = image + r * kLeafImageStride + 3 * c;
            const std::uint8_t* s10 = s00 + kLeafImageStride;
            const bool leaf =
                s00[0] < kKeyBlue && s00[3] < kKeyBlue && s10[0] < kKeyBlue && s10[3] < kKeyBlue;
            table[r * kLeafImageSize + c] = leaf ? 1 : 0;
        }
    }
}

// A leaf whose picture is missing is all key colour, so it draws nothing
// instead of a black square.
void FillWithKeyColour(std::uint8_t* pixels) {
    for (std::uint32_t i = 0; i < kLeafImageBytes; i += 3) {
        pixels[i] = 255;
        pixels[i + 1] = 0;
        pixels[i + 2] = 0;
    }
}

}  // namespace

void AcquireLeafImages() {
    if (refCount++ != 0)
        return;
    header = std::make_unique<BITMAPINFOHEADER>(MakeHeader24(kLeafImageSize, kLeafImageSize));
    for (int i = 0; i < 8; ++i) {
        slots[i] = std::make_unique<std::uint8_t[]>(kSlotBlockBytes);  // zeroed
        std::string error;
        if (!LoadPackagedPicture(kLeafSlotBitmapIds[i], kLeafImageSize, kLeafImageSize,
                                 slots[i].get(), error))
            FillWithKeyColour(slots[i].get());
        BuildQuadTable(slots[i].get());
    }
    ++buildCount;
}

void ReleaseLeafImages() {
    if (refCount <= 0)
        return;
    if (refCount-- != 1)
        return;
    header.reset();
    for (auto& slot : slots)
        slot.reset();
}

const BITMAPINFOHEADER& LeafImageHeader() {
    return *header;
}

const std::uint8_t* LeafImageSlot(int slot) {
    return slots[slot].get();
}

const std::uint8_t* LeafQuadTable(const std::uint8_t* image) {
    return image + kQuadTableOffset;
}

int LeafImageRefCount() {
    return refCount;
}

int LeafImageBuildCount() {
    return buildCount;
}

}  // namespace wendrel
