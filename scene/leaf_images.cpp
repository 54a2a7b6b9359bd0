#include "scene/leaf_images.h"

#include <algorithm>
#include <memory>
#include <string>

#include "scene/frame_buffer.h"
#include "scene/packaged_pictures.h"

namespace wendrel {
namespace {

int refCount = 0;
int buildCount = 0;
std::unique_ptr<BITMAPINFOHEADER> header;

struct Slot {
    std::uint8_t image[kLeafImageBytes] = {};
    LeafQuads quads;
};
std::unique_ptr<Slot> slots[8];

constexpr std::uint8_t kKeyBlue = 127;

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
        slots[i] = std::make_unique<Slot>();
        std::string error;
        if (!LoadPackagedPicture(kLeafSlotBitmapIds[i], kLeafImageSize, kLeafImageSize,
                                 slots[i]->image, error))
            FillWithKeyColour(slots[i]->image);
        BuildLeafQuads(slots[i]->image, slots[i]->quads);
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
    return slots[slot]->image;
}

const LeafQuads& LeafQuadTable(const std::uint8_t* image) {
    for (const auto& slot : slots)
        if (slot && slot->image == image)
            return slot->quads;
    // Not a slot: a caller's fault, and no quad is drawable.
    static const LeafQuads none;
    return none;
}

void BuildLeafQuads(const std::uint8_t* image, LeafQuads& quads) {
    LeafQuadBox box{kLeafImageSize,     -1, kLeafImageSize, -1,
                    2 * kLeafImageSize, -1, kLeafImageSize, -kLeafImageSize};
    for (std::int32_t r = 0; r + 1 < kLeafImageSize; ++r) {
        for (std::int32_t c = 0; c + 1 < kLeafImageSize; ++c) {
            const std::uint8_t* s00 = image + r * kLeafImageStride + 3 * c;
            const std::uint8_t* s10 = s00 + kLeafImageStride;
            const std::uint8_t* corners[4] = {s00, s00 + 3, s10, s10 + 3};
            const std::int32_t n = r * kLeafImageSize + c;
            bool leaf = true;
            for (int k = 0; k < 4; ++k) {
                leaf = leaf && corners[k][0] < kKeyBlue;
                for (int channel = 0; channel < 3; ++channel)
                    quads.samples[n][4 * channel + k] = corners[k][channel];
            }
            quads.samples[n][LeafQuads::kFlagByte] = leaf ? LeafQuads::kDrawnFlag : 0;
            if (leaf)
                box = {std::min(box.rowMin, r),
                       std::max(box.rowMax, r),
                       std::min(box.colMin, c),
                       std::max(box.colMax, c),
                       std::min(box.sumMin, r + c),
                       std::max(box.sumMax, r + c),
                       std::min(box.differenceMin, r - c),
                       std::max(box.differenceMax, r - c)};
        }
    }
    quads.box = box.Empty() ? LeafQuadBox{} : box;
}

int LeafImageRefCount() {
    return refCount;
}

int LeafImageBuildCount() {
    return buildCount;
}

}  // namespace wendrel
