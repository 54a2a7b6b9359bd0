#include "scene/leaf_scene.h"

#include <cstring>

#include "scene/frame_buffer.h"
#include "scene/packaged_pictures.h"

namespace wendrel {

CLeafScene::~CLeafScene() {
    for (auto& leaf : leaves)  // head first
        leaf.reset();
    leaves.clear();
    background.reset();
    frame.reset();
}

bool CLeafScene::LoadBackground(std::string& error) {
    frameHeader = MakeHeader24(kFrameWidth, kFrameHeight);
    background = std::make_unique<std::uint8_t[]>(kFrameBytes);
    frame = std::make_unique<std::uint8_t[]>(kFrameBytes);
    frameStale = true;
    return LoadPackagedPicture(kBackgroundBitmapId, kFrameWidth, kFrameHeight, background.get(),
                               error);
}

bool CLeafScene::LoadBackground() {
    std::string error;
    return LoadBackground(error);
}

void CLeafScene::Compose(std::int32_t windOffset) {
    if (!frame)
        return;
    changes.rects.clear();
    changes.whole = frameStale;
    if (frameStale) {
        std::memcpy(frame.get(), background.get(), frameHeader.biSizeImage);
        frameStale = false;
    } else {
        for (const FrameRect& r : drawnLastTime)
            RestoreBackground(r);
        changes.rects = drawnLastTime;
    }
    drawnNow.clear();
    for (auto it = leaves.begin(); it != leaves.end();) {
        FrameRect drawn;
        const bool goesOn = (*it)->DrawAndAdvance(frameHeader, frame.get(), windOffset, &drawn);
        if (!drawn.Empty())
            drawnNow.push_back(drawn);
        if (goesOn)
            ++it;
        else
            it = leaves.erase(it);
    }
    changes.rects.insert(changes.rects.end(), drawnNow.begin(), drawnNow.end());
    drawnLastTime.swap(drawnNow);
    ++composeCount;
}

void CLeafScene::RestoreBackground(const FrameRect& r) {
    const std::size_t stride = static_cast<std::size_t>(RowStride24(frameHeader.biWidth));
    const std::size_t bytes = 3 * static_cast<std::size_t>(r.Width());
    // Upright row y is stored row height - 1 - y.
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const std::size_t at =
            static_cast<std::size_t>(frameHeader.biHeight - 1 - y) * stride + 3 * r.left;
        std::memcpy(frame.get() + at, background.get() + at, bytes);
    }
}

}  // namespace wendrel
