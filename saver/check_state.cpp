#include "saver/check_state.h"

namespace wendrel {

int LoadCheckState(int stored) {
    return stored < 0 || stored > 2 ? 0 : stored;
}

}  // namespace wendrel
