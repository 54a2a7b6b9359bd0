// wendrel-config-dialog: the configuration dialog on its own, on the
// settings of the program "wendrel".
#include "app/linux/dialog/config_dialog.h"
#include "saver/saver_names.h"

int main() {
    wendrel::linux_app::CSettingsStore store(
        wendrel::linux_app::CSettingsStore::DefaultConfigHome(), wendrel::kCompanyKey, "wendrel");
    return wendrel::linux_app::RunConfigDialog(store);
}
