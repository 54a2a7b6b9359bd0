#include "app/render/render_options.h"

#include <charconv>

namespace wendrel::render {

const char* const kRenderUsage =
    "usage: wendrel-render --ticks N [--seed S] [--direct] [--out DIR] [--every K]\n"
    "                      [--format bmp|png] [--trace FILE] [--images DIR]\n"
    "       wendrel-render --help | -h | --version\n";

const char* const kRenderVersion = WENDREL_VERSION;

namespace {

bool ParseUnsigned(const std::string& text, std::uint64_t most, std::uint64_t& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value <= most;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    RenderOptions options;
    bool haveTicks = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--ticks" || arg == "--seed" || arg == "--out" ||
                                arg == "--every" || arg == "--format" || arg == "--trace" ||
                                arg == "--images";
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--version") {
            options.version = true;
            return options;
        }
        if (arg == "--direct") {
            options.direct = true;
            continue;
        }
        if (!takesValue) {
            error = "unknown argument '" + arg + "'";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        std::uint64_t number = 0;
        if (arg == "--ticks") {
            if (!ParseUnsigned(value, UINT64_C(1) << 40, number)) {
                error = "--ticks needs a whole number, not '" + value + "'";
                return std::nullopt;
            }
            options.ticks = number;
            haveTicks = true;
        } else if (arg == "--seed") {
            if (!ParseUnsigned(value, UINT32_MAX, number)) {
                error = "--seed needs a number from 0 to 4294967295, not '" + value + "'";
                return std::nullopt;
            }
            options.seed = static_cast<std::uint32_t>(number);
        } else if (arg == "--every") {
            if (!ParseUnsigned(value, UINT64_C(1) << 40, number) || number == 0) {
                error = "--every needs a positive whole number, not '" + value + "'";
                return std::nullopt;
            }
            options.every = number;
        } else if (arg == "--format") {
            if (value == "bmp") {
                options.format = PictureFormat::Bmp;
            } else if (value == "png") {
                options.format = PictureFormat::Png;
            } else {
                error = "--format must be bmp or png, not '" + value + "'";
                return std::nullopt;
            }
        } else if (value.empty()) {
            error = arg + " needs a non-empty value";
            return std::nullopt;
        } else if (arg == "--out") {
            options.outDir = value;
        } else if (arg == "--trace") {
            options.traceFile = value;
        } else {
            options.imagesDir = value;
        }
    }
    if (!haveTicks) {
        error = "--ticks is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace wendrel::render
