#include "scene/leaf.h"

#include <algorithm>
#include <cmath>

#include "scene/frame_buffer.h"
#include "scene/leaf_images.h"
#include "scene/leaf_raster.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel {
namespace {

constexpr std::int32_t kMaxRate = 32;

std::int32_t Scaled1024(double v) {
    return static_cast<std::int32_t>(v * 1024);
}

std::int32_t WanderRate(std::int32_t rate) {
    rate += Rand() % 7 - 3;
    return std::clamp(rate, -kMaxRate, kMaxRate);
}

}  // namespace

CLeaf::CLeaf(std::int32_t width, std::int32_t height) : sceneWidth(width), sceneHeight(height) {
    AcquireLeafImages();
    path = SmoothControlPoints(PlanControlPoints(width, height));
    image = LeafImageSlot(Rand() % 8);
}

CLeaf::CLeaf(PathPointArray flight, int imageSlot)
    : sceneWidth(kFrameWidth), sceneHeight(kFrameHeight) {
    AcquireLeafImages();
    path = std::move(flight);
    image = LeafImageSlot(imageSlot);
}

CLeaf::~CLeaf() {
    ReleaseLeafImages();
}

bool CLeaf::DrawAndAdvance(const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                           std::int32_t windOffset, FrameRect* drawn) {
    if (path.empty())
        return false;
    const PathPoint p = path[static_cast<std::size_t>(pathIndex)];
    const std::int32_t half = kLeafImageSize / 2;
    const std::int32_t left = p.x + windOffset - half;
    const std::int32_t right = p.x + windOffset + half;
    const std::int32_t top = p.y - half;
    const std::int32_t bottom = p.y + half;
    FrameRect written;
    if (left < kFrameWidth && right > 0 && top < kFrameHeight && bottom > 0)
        written = Draw(frameHeader, framePixels, left, top);
    if (drawn)
        *drawn = written;
    Tumble();
    pathIndex += SaverCore().m_bDirectDraw ? 1 : 2;
    return static_cast<std::size_t>(pathIndex) < path.size();
}

FrameRect CLeaf::Draw(const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                      std::int32_t left, std::int32_t top) const {
    LeafTurn turn{Scaled1024(std::sin(spin * 0.01)), Scaled1024(std::cos(spin * 0.01)),
                  Scaled1024(std::cos(tilt * 0.01))};
    if (turn.tiltCos == 0)
        turn.tiltCos = 1;
    return DrawTurnedLeaf(turn, LeafQuadTable(image), frameHeader, framePixels, left, top);
}

void CLeaf::Tumble() {
    spinRate = WanderRate(spinRate);
    spin += spinRate;
    tiltRate = WanderRate(tiltRate);
    tilt += tiltRate;
}

}  // namespace wendrel
