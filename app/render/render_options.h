#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wendrel::render {

enum class PictureFormat { Bmp, Png };

struct RenderOptions {
    std::uint64_t ticks = 0;
    std::optional<std::uint32_t> seed;  // default: the clock, like the saver
    bool direct = false;
    std::string outDir;  // empty: no frames written
    std::uint64_t every = 1;
    PictureFormat format = PictureFormat::Bmp;
    std::string traceFile;  // "-" is stdout; empty: no trace
    std::string imagesDir;  // empty: no images written
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name; on failure returns nothing
// and puts a one-line reason in `error`.
std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

extern const char* const kRenderUsage;
// The program's version, as the build's project gives it.
extern const char* const kRenderVersion;

}  // namespace wendrel::render
