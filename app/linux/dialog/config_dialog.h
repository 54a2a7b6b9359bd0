#pragma once

#include "settings_store.h"

namespace wendrel::linux_app {

// Configuration mode: shows the "Wendrel configuration" dialog with the
// setting loaded from `store`, stores it when the dialog ends with OK and
// stores nothing otherwise. Returns the process exit status: 0 once the
// dialog has ended (also when the write failed, which is reported on
// stderr), 1 with a one-line message on stderr when no display can be
// opened.
int RunConfigDialog(CSettingsStore& store);

}  // namespace wendrel::linux_app
