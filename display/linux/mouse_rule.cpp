#include "mouse_rule.h"

#include <cstdlib>

namespace wendrel::display {

bool CMouseRule::OnMove(int x, int y) {
    if (m_lastMousePoint.x == noMousePoint.x && m_lastMousePoint.y == noMousePoint.y) {
        m_lastMousePoint = {x, y};
        return false;
    }
    return std::abs(m_lastMousePoint.x - x) > 5 && std::abs(m_lastMousePoint.y - y) > 5;
}

}  // namespace wendrel::display
