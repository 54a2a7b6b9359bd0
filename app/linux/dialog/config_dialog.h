#pragma once

#include "app/linux/settings_store.h"

namespace wendrel::linux_app {

// Configuration mode: shows the "Wendrel configuration" dialog with the
// setting loaded from `store`, stores it when the dialog ends with OK and
// stores nothing otherwise. A settings file that exists but cannot be read
// is never written: OK then shows why in a message box instead, as it does
// when the write fails. Returns the process exit status: 0 once the dialog
// has ended (also when nothing could be stored, which is also reported on
// stderr), 1 with a one-line message on stderr when no display can be
// opened.
int RunConfigDialog(CSettingsStore& store);

}  // namespace wendrel::linux_app
