#include "scene/saver_core.h"

#include <cstdio>
#include <cstdlib>

namespace wendrel {
namespace {
CSaverCore* current = nullptr;
}

CSaverCore::CSaverCore() : m_pPrevious(current) {
    current = this;
}

CSaverCore::~CSaverCore() {
    current = m_pPrevious;
}

CSaverCore& SaverCore() {
    if (current == nullptr) {
        std::fputs("wendrel: no saver core exists\n", stderr);
        std::abort();
    }
    return *current;
}

}  // namespace wendrel
