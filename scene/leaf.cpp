#include "leaf.h"

#include <algorithm>
#include <cmath>

#include "frame_buffer.h"
#include "leaf_images.h"
#include "random.h"
#include "saver_core.h"

namespace wendrel {
namespace {

constexpr std::int32_t kMaxRate = 32;

std::int32_t Floor8(std::int32_t v) {
    return v >> 3;
}

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
    FrameRect written;
    const std::int32_t w = kLeafImageSize;
    const std::int32_t h = kLeafImageSize;
    const std::int32_t imageStride = kLeafImageStride;
    const std::int32_t frameWidth = frameHeader.biWidth;
    const std::int32_t frameHeight = frameHeader.biHeight;
    const std::size_t frameStride = static_cast<std::size_t>(RowStride24(frameWidth));

    const std::int32_t sn = Scaled1024(std::sin(spin * 0.01));
    const std::int32_t cs = Scaled1024(std::cos(spin * 0.01));
    std::int32_t tiltCos = Scaled1024(std::cos(tilt * 0.01));
    if (tiltCos == 0)
        tiltCos = 1;
    const std::int32_t across = tiltCos * 1024;

    for (std::int32_t i = 0; i < h; ++i) {
        const std::int32_t rho = frameHeight + 1 - top - i;
        if (rho < 0 || rho >= frameHeight)
            continue;
        std::uint8_t* row = framePixels + static_cast<std::size_t>(rho) * frameStride;
        const std::int32_t dy = i - h / 2;
        for (std::int32_t j = 0; j < w; ++j) {
            const std::int32_t kappa = left + j;
            if (kappa < 0 || kappa >= frameWidth)
                continue;
            const std::int32_t dx = j - w / 2;
            const std::int32_t col8 = ((dx * cs + dy * sn) * 8192) / across + 4 * w;
            const std::int32_t row8 = ((dy * cs - dx * sn) * 8) / 1024 + 4 * h;
            const std::int32_t col = Floor8(col8);
            const std::int32_t srow = Floor8(row8);
            if (col < 0 || col >= w - 1 || srow < 0 || srow >= h - 1)
                continue;
            const std::int32_t fx = col8 - 8 * col;
            const std::int32_t fy = row8 - 8 * srow;
            const std::uint8_t* s00 = image + srow * imageStride + 3 * col;
            const std::uint8_t* s01 = s00 + 3;
            const std::uint8_t* s10 = s00 + imageStride;
            const std::uint8_t* s11 = s10 + 3;
            if (std::max({s00[0], s01[0], s10[0], s11[0]}) >= 127)
                continue;
            std::uint8_t* dst = row + 3 * kappa;
            written = written.United({kappa, frameHeight - 1 - rho, kappa + 1, frameHeight - rho});
            for (int k = 0; k < 3; ++k) {
                const std::int32_t top2 = s00[k] * (7 - fx) + s01[k] * fx;
                const std::int32_t bottom2 = s10[k] * (7 - fx) + s11[k] * fx;
                dst[k] = static_cast<std::uint8_t>((top2 * (7 - fy) + bottom2 * fy + 24) / 49);
            }
        }
    }
    return written;
}

void CLeaf::Tumble() {
    spinRate = WanderRate(spinRate);
    spin += spinRate;
    tiltRate = WanderRate(tiltRate);
    tilt += tiltRate;
}

}  // namespace wendrel
