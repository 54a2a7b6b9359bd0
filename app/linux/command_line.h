#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saver/command_switch.h"

namespace wendrel::linux_app {

enum class SaverMode {
    FullScreen,  // "s": the screen saver proper
    Preview,     // "p <window id>": drawn into an existing window
    Hack,        // an XScreenSaver hack: --root, --window-id, $XSCREENSAVER_WINDOW
    Window,      // "window": an ordinary window, for trying it out
    Background,  // "--background": a moving desktop background on every output
    Config,      // anything else: the configuration dialog
    Help,        // "--help" or "-h" first: the usage, on standard output
    Version,     // "--version" first: the version, on standard output
};

struct LaunchRequest {
    SaverMode mode = SaverMode::Config;
    // Preview and hack modes: the window to draw into; none means the root
    // window (--root with no window given).
    std::optional<unsigned long> windowId;
};

// Chooses the mode from the arguments after the program name and the
// value of $XSCREENSAVER_WINDOW (null when unset). Returns nothing, with a
// one-line reason in `error`, for a bad window id or an unknown option in
// a hack mode.
std::optional<LaunchRequest> ParseCommandLine(const std::vector<std::string>& args,
                                              const char* xscreensaverWindow, std::string& error);

// A window id as X tools print it: decimal, or hexadecimal after "0x";
// none for 0 or anything wider than an X id's 29 bits.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// The random generator's seed for `mode` at `seconds` since the epoch: the
// hack mixes in its process id, since daemons start one copy per monitor
// at once (HackSeed); every other mode keeps the clock alone.
std::uint32_t StartSeed(SaverMode mode, std::int64_t seconds, std::uint32_t processId);

// Whether `mode` runs natively on Wayland: "s" and --background do when
// $WAYLAND_DISPLAY names a compositor (`waylandDisplay`, null when unset),
// unless $WENDREL_BACKEND (`backend`) asks for X11. The others name X
// windows, or are dialogs and windows that Xwayland serves.
bool WantsWayland(SaverMode mode, const char* waylandDisplay, const char* backend);

// The usage, shown after a bad argument.
extern const char* const kHackUsage;
// What --help shows after the usage: what each mode does.
extern const char* const kHelpOptions;
// The program's version, as the build's project gives it.
extern const char* const kVersion;

}  // namespace wendrel::linux_app
