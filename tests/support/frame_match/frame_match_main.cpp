// wendrel-frame-match: tells whether a screenshot shows one of the engine's
// frames. The saver seeds its generator with the clock, so the test gives
// the seconds the saver may have started in and we try each of them; a
// hack mixes its process id in, which the test gives too (--pid).
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/frame_match/frame_match.h"

namespace {

constexpr const char* kUsage =
    "usage: wendrel-frame-match SCREENSHOT.png [--rect X,Y,W,H] [--seeds FIRST:LAST]\n"
    "       [--pid PID] [--max-ticks N] [--direct] [--min-match PERCENT] [--samples N]\n"
    "       [--tolerance T] [--torn] [--background-only]\n"
    "Searches the frames of the animation started from each seed in FIRST..LAST for\n"
    "the one that, stretched onto RECT (default: the whole screenshot), explains at\n"
    "least PERCENT (default 99) of the sampled pixels. Exit 0 on a match, 1 if none.\n"
    "--pid: the saver ran as a hack with process id PID; FIRST..LAST are the seconds\n"
    "it may have started in, each mixed with PID as the hack mixes it.\n"
    "--torn also takes a picture torn at one row between two frames at most 10 ticks\n"
    "apart (as Wine shows now and then).\n"
    "--background-only compares with the bare background and only reports.\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "wendrel-frame-match: %s\n%s", message.c_str(), kUsage);
    return 2;
}

bool ParseNumber(const std::string& text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end != nullptr && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    using namespace wendrel::frame_match;
    std::string path;
    Rect rect;
    bool haveRect = false;
    long long firstSeed = -1, lastSeed = -1, maxTicks = 6000, samples = 20000, tolerance = 0;
    std::optional<std::uint32_t> pid;
    double wanted = 0.99;
    bool direct = false, backgroundOnly = false, torn = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--direct") {
            direct = true;
        } else if (arg == "--torn") {
            torn = true;
        } else if (arg == "--background-only") {
            backgroundOnly = true;
        } else if (arg == "--rect" && hasValue) {
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &rect.x, &rect.y, &rect.width,
                            &rect.height) != 4 ||
                rect.width <= 0 || rect.height <= 0)
                return Usage("bad --rect " + std::string(argv[i]));
            haveRect = true;
        } else if (arg == "--seeds" && hasValue) {
            const std::string value = argv[++i];
            const auto colon = value.find(':');
            if (colon == std::string::npos || !ParseNumber(value.substr(0, colon), firstSeed) ||
                !ParseNumber(value.substr(colon + 1), lastSeed) || firstSeed < 0 ||
                lastSeed < firstSeed || lastSeed > 0xFFFFFFFFLL || lastSeed - firstSeed > 1000)
                return Usage("bad --seeds " + value);
        } else if (arg == "--pid" && hasValue) {
            long long value = 0;
            if (!ParseNumber(argv[++i], value) || value < 1 || value > 0xFFFFFFFFLL)
                return Usage("bad --pid");
            pid = static_cast<std::uint32_t>(value);
        } else if (arg == "--max-ticks" && hasValue) {
            if (!ParseNumber(argv[++i], maxTicks) || maxTicks < 1)
                return Usage("bad --max-ticks");
        } else if (arg == "--samples" && hasValue) {
            if (!ParseNumber(argv[++i], samples) || samples < 100 || samples > 10000000)
                return Usage("bad --samples");
        } else if (arg == "--tolerance" && hasValue) {
            if (!ParseNumber(argv[++i], tolerance) || tolerance < 0 || tolerance > 255)
                return Usage("bad --tolerance");
        } else if (arg == "--min-match" && hasValue) {
            char* end = nullptr;
            wanted = std::strtod(argv[++i], &end) / 100.0;
            if (end == nullptr || *end != '\0' || wanted <= 0.0 || wanted > 1.0)
                return Usage("bad --min-match");
        } else if (!arg.empty() && arg[0] != '-' && path.empty()) {
            path = arg;
        } else {
            return Usage("unknown or incomplete option " + arg);
        }
    }
    if (path.empty())
        return Usage("no screenshot given");
    if (!backgroundOnly && firstSeed < 0)
        return Usage("--seeds is needed unless --background-only");

    Screenshot shot;
    std::string error;
    if (!ReadPng(path, shot, error)) {
        std::fprintf(stderr, "wendrel-frame-match: %s\n", error.c_str());
        return 1;
    }
    if (!haveRect)
        rect = {0, 0, shot.width, shot.height};
    CSampler sampler(shot, rect, static_cast<int>(samples), static_cast<int>(tolerance));
    const double background = MatchBackground(sampler);
    std::printf("background explains %.2f%% of %zu samples\n", background * 100.0, sampler.Count());
    if (backgroundOnly)
        return 0;

    const MatchResult best = SearchFrames(
        sampler, static_cast<std::uint32_t>(firstSeed), static_cast<std::uint32_t>(lastSeed),
        static_cast<std::uint64_t>(maxTicks), direct, wanted, pid);
    const bool matched = IsMatch(best, wanted);
    if (!matched && torn) {
        const TornMatch split = SearchTorn(
            sampler, static_cast<std::uint32_t>(firstSeed), static_cast<std::uint32_t>(lastSeed),
            static_cast<std::uint64_t>(maxTicks), direct, wanted, pid);
        if (IsMatch(split.match, wanted)) {
            std::printf(
                "match: seed %u tick %llu torn at row %d with tick %llu below, explains %.2f%% of "
                "%zu samples and %.2f%% of the %zu the background does not\n",
                split.match.seed, static_cast<unsigned long long>(split.match.tick), split.lowerRow,
                static_cast<unsigned long long>(split.lowerTick), split.match.fraction * 100.0,
                sampler.Count(), split.match.leafFraction * 100.0, split.match.leafSamples);
            return 0;
        }
    }
    std::printf(
        "%s: seed %u tick %llu explains %.2f%% of %zu samples and %.2f%% of the %zu "
        "the background does not\n",
        matched ? "match" : "no match, best", best.seed, static_cast<unsigned long long>(best.tick),
        best.fraction * 100.0, sampler.Count(), best.leafFraction * 100.0, best.leafSamples);
    return matched ? 0 : 1;
}
