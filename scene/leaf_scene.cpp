#include "leaf_scene.h"

#include <cstring>

#include "frame_buffer.h"
#include "packaged_pictures.h"

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
    std::memcpy(frame.get(), background.get(), frameHeader.biSizeImage);
    for (auto it = leaves.begin(); it != leaves.end();) {
        if ((*it)->DrawAndAdvance(frameHeader, frame.get(), windOffset))
            ++it;
        else
            it = leaves.erase(it);
    }
}

}  // namespace wendrel
