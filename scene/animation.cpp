#include "scene/animation.h"

#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel {
namespace {

// The loop's start values, at program start and after each reset. The
// counter starts past any pace, so the first tick decides at once.
constexpr std::int32_t kStartSpawnTickCounter = 10000;
constexpr std::int32_t kStartTargetLeafCount = 10;
constexpr std::int32_t kStartWindOffset = 0;
constexpr std::int32_t kStartGustStep = 0;
constexpr std::int32_t kStartGustActive = 0;

}  // namespace

std::int32_t spawnTickCounter = kStartSpawnTickCounter;
std::int32_t targetLeafCount = kStartTargetLeafCount;
std::int32_t windOffset = kStartWindOffset;
std::int32_t gustStep = kStartGustStep;
std::int32_t gustActive = kStartGustActive;

namespace {

constexpr std::int32_t kMostLeaves = 25;
constexpr std::int32_t kGustStep = 10;

void DecideSpawn(CLeafScene& scene, std::int32_t pace) {
    const std::int32_t old = spawnTickCounter++;
    if (old <= pace)
        return;
    spawnTickCounter = 0;
    targetLeafCount += Rand() % 2 == 1 ? 1 : -1;
    if (targetLeafCount >= kMostLeaves)
        targetLeafCount = kMostLeaves;
    else if (targetLeafCount < 0)
        targetLeafCount = 0;
    if (scene.LeafCount() < static_cast<std::size_t>(targetLeafCount)) {
        const CSaverCore& core = SaverCore();
        scene.AppendLeaf(std::make_unique<CLeaf>(core.m_nSceneWidth, core.m_nSceneHeight));
    }
}

void MoveWind(std::int32_t pace, std::int32_t limit) {
    if (windOffset > 0)
        --windOffset;
    else if (windOffset < 0)
        ++windOffset;
    if (Rand() % pace == 0 && windOffset == 0) {
        gustActive = 1;
        gustStep = Rand() % 2 == 1 ? kGustStep : -kGustStep;
    }
    if (!gustActive)
        return;
    windOffset += gustStep;
    if ((gustStep > 0 && 5 * windOffset / 4 > limit) ||
        (gustStep < 0 && 5 * windOffset / 4 < -limit))
        gustStep /= 2;
    gustActive = gustStep > 0 ? windOffset < limit : windOffset > -limit;
}

}  // namespace

void ResetAnimationGlobals() {
    spawnTickCounter = kStartSpawnTickCounter;
    targetLeafCount = kStartTargetLeafCount;
    windOffset = kStartWindOffset;
    gustStep = kStartGustStep;
    gustActive = kStartGustActive;
}

void AnimationTick(CLeafScene& scene, const PresentHooks& present) {
    const CSaverCore& core = SaverCore();
    const std::int32_t pace = core.m_bDirectDraw ? 32 : 16;
    DecideSpawn(scene, pace);
    MoveWind(pace, core.m_nPathMargin);
    scene.Compose(windOffset);
    const PresentFn& hook =
        core.m_bDirectDraw ? present.presentExclusive : present.presentStretched;
    if (hook)
        hook(scene);
}

}  // namespace wendrel
