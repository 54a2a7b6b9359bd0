#include "scene/leaf_path.h"

#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel {

PathPointArray PlanControlPoints(std::int32_t sceneWidth, std::int32_t sceneHeight) {
    const CSaverCore& core = SaverCore();
    const std::int32_t spanX = sceneWidth / 4;
    const std::int32_t offsetX = spanX / 2;
    const std::int32_t spanY = sceneHeight / 8;
    const std::int32_t offsetY = spanY / 3;
    PathPointArray points;
    do {
        points.clear();
        std::int32_t x = Rand() % sceneWidth;
        std::int32_t y = -core.m_nLeafSize;
        points.push_back({x, y});
        while (y < sceneHeight + core.m_nLeafSize) {
            if (x < -core.m_nPathMargin || x > sceneWidth + core.m_nPathMargin)
                break;
            x += Rand() % spanX - offsetX;
            y += Rand() % spanY - offsetY;
            points.push_back({x, y});
        }
    } while (points.size() < 5);
    points.push_back(points.back());
    return points;
}

PathPointArray SmoothControlPoints(const PathPointArray& control) {
    PathPointArray path;
    if (control.size() < 4)
        return path;
    path.reserve((control.size() - 3) * 10);
    for (std::size_t s = 0; s + 3 < control.size(); ++s) {
        const PathPoint& q0 = control[s];
        const PathPoint& q1 = control[s + 1];
        const PathPoint& q2 = control[s + 2];
        const PathPoint& q3 = control[s + 3];
        for (int k = 0; k < 10; ++k) {
            // Written out term by term, left to right: the build flags keep
            // the compiler from fusing or reordering, so every build rounds
            // the same way.
            const double t = k * 0.1;
            const double b0 = (1 - t) * (1 - t) * (1 - t);
            const double b1 = 3 * t * t * t - 6 * t * t + 4;
            const double b2 = 3 * (t + t * t) - 3 * t * t * t + 1;
            const double b3 = t * t * t;
            const double x = (q0.x * b0 + q1.x * b1 + q2.x * b2 + q3.x * b3) * (1.0 / 6);
            const double y = (q0.y * b0 + q1.y * b1 + q2.y * b2 + q3.y * b3) * (1.0 / 6);
            path.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
        }
    }
    return path;
}

}  // namespace wendrel
