#include "app/linux/command_line.h"

#include <cctype>
#include <charconv>

#include "saver/start_seed.h"

namespace wendrel::linux_app {

const char* const kHackUsage =
    "usage: wendrel [-root | --root] [-window-id ID | --window-id ID]\n"
    "       wendrel s | p WINDOW-ID | window | --background\n"
    "       wendrel --help | -h | --version\n";

const char* const kHelpOptions =
    "\n"
    "  s                 the full-screen screen saver\n"
    "  p WINDOW-ID       a preview inside the X window WINDOW-ID\n"
    "  --root            XScreenSaver hack: draw into the root window\n"
    "  --window-id ID    XScreenSaver hack: draw into the window ID\n"
    "                    (or, with neither, into $XSCREENSAVER_WINDOW)\n"
    "  window            an ordinary window, for trying it out\n"
    "  --background      a moving desktop background on every monitor\n"
    "  --help, -h        show this and exit\n"
    "  --version         show the version and exit\n"
    "Anything else, or nothing, opens the configuration dialog.\n";

const char* const kVersion = WENDREL_VERSION;

std::optional<unsigned long> ParseWindowId(std::string_view text) {
    // X resource ids have 29 bits; a larger number would be cut down to
    // some other window's id on the wire.
    constexpr unsigned long kLargestXId = 0x1fffffff;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    unsigned long value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || ptr != text.data() + text.size() || value == 0 || value > kLargestXId)
        return std::nullopt;
    return value;
}

namespace {

bool IsHackOption(std::string_view arg) {
    return arg == "-root" || arg == "--root" || arg == "-window-id" || arg == "--window-id";
}

}  // namespace

std::optional<LaunchRequest> ParseCommandLine(const std::vector<std::string>& args,
                                              const char* xscreensaverWindow, std::string& error) {
    LaunchRequest request;
    const std::string first = args.empty() ? "" : args[0];
    // As every terminal program has them; only as the first argument, where
    // the modes are chosen, so that every other argument keeps its meaning.
    if (first == "--help" || first == "-h") {
        request.mode = SaverMode::Help;
        return request;
    }
    if (first == "--version") {
        request.mode = SaverMode::Version;
        return request;
    }
    if (first == "--background") {
        if (args.size() > 1) {
            error = "unknown option '" + args[1] + "'";
            return std::nullopt;
        }
        request.mode = SaverMode::Background;
        return request;
    }
    switch (ChooseSaverMode(first)) {
        case ESaverMode::Preview:
            request.mode = SaverMode::Preview;
            request.windowId = args.size() > 1 ? ParseWindowId(args[1]) : std::nullopt;
            if (!request.windowId) {
                error = args.size() > 1 ? "'" + args[1] + "' is not a window id"
                                        : "preview mode needs a window id";
                return std::nullopt;
            }
            return request;
        case ESaverMode::FullScreen:
            request.mode = SaverMode::FullScreen;
            return request;
        case ESaverMode::Config:
            break;
    }
    // Where the saver's own rule gives the dialog, this front end's modes.
    if (IsSwitch(first, "window")) {
        request.mode = SaverMode::Window;
        return request;
    }

    const bool daemonWindow = xscreensaverWindow != nullptr && *xscreensaverWindow != '\0';
    bool hack = daemonWindow;
    for (const std::string& arg : args)
        hack = hack || IsHackOption(arg);
    if (!hack)
        return request;  // configuration

    request.mode = SaverMode::Hack;
    if (daemonWindow) {
        request.windowId = ParseWindowId(xscreensaverWindow);
        if (!request.windowId) {
            error =
                std::string("XSCREENSAVER_WINDOW '") + xscreensaverWindow + "' is not a window id";
            return std::nullopt;
        }
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-root" || arg == "--root")
            continue;
        if (arg == "-window-id" || arg == "--window-id") {
            const auto id = i + 1 < args.size() ? ParseWindowId(args[i + 1]) : std::nullopt;
            if (!id) {
                error = arg + " needs a window id";
                return std::nullopt;
            }
            request.windowId = id;
            ++i;
            continue;
        }
        error = "unknown option '" + arg + "'";
        return std::nullopt;
    }
    return request;
}

std::uint32_t StartSeed(SaverMode mode, std::int64_t seconds, std::uint32_t processId) {
    return mode == SaverMode::Hack ? HackSeed(seconds, processId) : ClockSeed(seconds);
}

bool WantsWayland(SaverMode mode, const char* waylandDisplay, const char* backend) {
    if (mode != SaverMode::FullScreen && mode != SaverMode::Background)
        return false;
    if (backend != nullptr && std::string_view(backend) == "x11")
        return false;
    return waylandDisplay != nullptr && *waylandDisplay != '\0';
}

}  // namespace wendrel::linux_app
