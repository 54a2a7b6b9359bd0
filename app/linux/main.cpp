// wendrel: the Linux screen saver. Full-screen ("s"), preview into a
// window ("p ID"), XScreenSaver hack (--root, --window-id ID,
// $XSCREENSAVER_WINDOW), a plain window ("window"), --help and --version,
// or the configuration dialog for anything else.
#include <string>
#include <vector>

#include "app/linux/saver_app.h"
#include "app/linux/stop_signals.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    int status = 0;
    {
        wendrel::linux_app::CSaverApp app(
            wendrel::linux_app::CSettingsStore::ProgramName(argc > 0 ? argv[0] : "wendrel"));
        status = app.InitInstance(args);
    }
    wendrel::linux_app::EndByStopSignal();
    return status;
}
