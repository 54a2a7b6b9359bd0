// wendrel-render: runs the animation with no window and no sleep and
// records its frames, a trace of the loop's state, or the converted art.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/render/picture_files.h"
#include "app/render/render_options.h"
#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/leaf_images.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace {

using wendrel::render::PictureFormat;
using wendrel::render::RenderOptions;

int IoError(const std::string& message) {
    std::fprintf(stderr, "wendrel-render: %s\n", message.c_str());
    return 1;
}

bool MakeDirectory(const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        error = "cannot create directory " + dir + (ec ? ": " + ec.message() : "");
        return false;
    }
    return true;
}

bool WritePicture(const std::string& path, PictureFormat format,
                  const wendrel::BITMAPINFOHEADER& header, const std::uint8_t* pixels,
                  std::string& error) {
    return format == PictureFormat::Png
               ? wendrel::render::WritePngFile(path, header, pixels, error)
               : wendrel::render::WriteBmpFile(path, header, pixels, error);
}

bool WriteImages(const std::string& dir, const wendrel::CLeafScene& scene, std::string& error) {
    if (!MakeDirectory(dir, error))
        return false;
    if (!wendrel::render::WriteBmpFile(dir + "/background.bmp", scene.FrameHeader(),
                                       scene.Background(), error))
        return false;
    wendrel::AcquireLeafImages();
    bool ok = true;
    for (int slot = 0; slot < 8 && ok; ++slot) {
        ok = wendrel::render::WriteBmpFile(dir + "/leaf" + std::to_string(slot) + ".bmp",
                                           wendrel::LeafImageHeader(), wendrel::LeafImageSlot(slot),
                                           error);
    }
    wendrel::ReleaseLeafImages();
    return ok;
}

// False once a write of the trace has failed; the stream is buffered, so
// that is the first tick after which the failed write was attempted.
bool WriteTrace(std::FILE* trace, std::uint64_t tick, const wendrel::CLeafScene& scene) {
    return std::fprintf(trace,
                        "{\"tick\":%llu,\"leaves\":%zu,\"target\":%d,\"wind\":%d,\"gustStep\":%d,"
                        "\"gustActive\":%d,\"spawnCounter\":%d}\n",
                        static_cast<unsigned long long>(tick), scene.LeafCount(),
                        wendrel::targetLeafCount, wendrel::windOffset, wendrel::gustStep,
                        wendrel::gustActive, wendrel::spawnTickCounter) >= 0 &&
           std::ferror(trace) == 0;
}

std::string TraceError(const std::string& file, int error) {
    return "cannot write " + (file == "-" ? std::string("the standard output") : file) + ": " +
           std::strerror(error);
}

std::string FramePath(const RenderOptions& options, std::uint64_t tick) {
    char name[64];
    std::snprintf(name, sizeof name, "/frame-%06llu.%s", static_cast<unsigned long long>(tick),
                  options.format == PictureFormat::Png ? "png" : "bmp");
    return options.outDir + name;
}

int Render(const RenderOptions& options) {
    wendrel::CSaverCore core;
    core.m_bDirectDraw = options.direct ? 1 : 0;
    wendrel::CLeafScene scene;
    std::string error;
    if (!scene.LoadBackground(error))
        return IoError(error);
    if (!options.imagesDir.empty() && !WriteImages(options.imagesDir, scene, error))
        return IoError(error);
    if (!options.outDir.empty() && !MakeDirectory(options.outDir, error))
        return IoError(error);

    std::FILE* trace = nullptr;
    if (options.traceFile == "-") {
        trace = stdout;
    } else if (!options.traceFile.empty()) {
        trace = std::fopen(options.traceFile.c_str(), "w");
        if (trace == nullptr)
            return IoError(TraceError(options.traceFile, errno));
    }

    wendrel::ResetAnimationGlobals();
    wendrel::SeedRandom(options.seed ? *options.seed
                                     : static_cast<std::uint32_t>(std::time(nullptr)));
    const bool progress = options.ticks >= 2000;
    int status = 0;
    for (std::uint64_t tick = 1; tick <= options.ticks; ++tick) {
        wendrel::AnimationTick(scene, {});
        errno = 0;
        if (trace != nullptr && !WriteTrace(trace, tick, scene)) {
            status = IoError(TraceError(options.traceFile, errno != 0 ? errno : EIO));
            break;
        }
        if (!options.outDir.empty() && tick % options.every == 0 &&
            !WritePicture(FramePath(options, tick), options.format, scene.FrameHeader(),
                          scene.Frame(), error)) {
            status = IoError(error);
            break;
        }
        if (progress && tick % 1000 == 0)
            std::fprintf(stderr, "wendrel-render: tick %llu of %llu\n",
                         static_cast<unsigned long long>(tick),
                         static_cast<unsigned long long>(options.ticks));
    }
    errno = 0;
    if (trace != nullptr && status == 0 && (std::fflush(trace) != 0 || std::ferror(trace)))
        status = IoError(TraceError(options.traceFile, errno != 0 ? errno : EIO));
    errno = 0;
    if (trace != nullptr && trace != stdout && std::fclose(trace) != 0 && status == 0)
        status = IoError(TraceError(options.traceFile, errno != 0 ? errno : EIO));
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = wendrel::render::ParseRenderOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "wendrel-render: %s\n%s", error.c_str(),
                     wendrel::render::kRenderUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(wendrel::render::kRenderUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("wendrel-render %s\n", wendrel::render::kRenderVersion);
        return 0;
    }
    const int status = Render(*options);
    // The scene is gone, and with it every leaf: so must the image set be.
    const int held = wendrel::LeafImageRefCount();
    if (held != 0) {
        std::fprintf(stderr, "wendrel-render: the leaf image set is still held %d times at exit\n",
                     held);
        return 1;
    }
    if (status == 0 && options->ticks >= 2000)  // a long run, which reports its progress
        std::fprintf(stderr,
                     "wendrel-render: leaf image set built %d times, held 0 times at exit\n",
                     wendrel::LeafImageBuildCount());
    return status;
}
