// wendrel-artgen: writes every packaged picture of the Wendrel screen saver.
//
//   wendrel-artgen OUTDIR          generate all files into OUTDIR, then check them
//   wendrel-artgen --check OUTDIR  only check existing files
//   wendrel-artgen --icons OUTDIR  the desktop icons, wendrel-SIZE.png
#include <cstdio>
#include <string>

#include "tools/artgen/background.h"
#include "tools/artgen/check.h"
#include "tools/artgen/cursor_icon.h"
#include "tools/artgen/icon_png.h"
#include "tools/artgen/leaves.h"

namespace {

bool save(const std::string& path, const art::Bytes& data) {
    if (!art::write_file(path, data)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), data.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--check") {
        return art::check_outputs(argv[2]) == 0 ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        bool ok = true;
        for (const int size : art::kDesktopIconSizes) {
            const art::Bytes png = art::make_icon_png(size);
            const std::string name =
                std::string(argv[2]) + "/wendrel-" + std::to_string(size) + ".png";
            ok = !png.empty() && save(name, png) && ok;
        }
        return ok ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR | --check OUTDIR | --icons OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    for (int k = 0; k < art::kLeafKinds; ++k) {
        art::LeafSprite leaf = art::render_leaf(k, 48, 2);
        std::string name = dir + "/leaf" + std::to_string(148 + k) + ".bmp";
        ok = save(name, art::make_bmp24(48, 48, art::keyed_pixels(leaf))) && ok;
    }
    ok = save(dir + "/wendrel.cur", art::make_cursor()) && ok;
    ok = save(dir + "/wendrel.ico", art::make_icon()) && ok;
    ok = save(dir + "/background.bmp", art::make_background()) && ok;
    if (!ok) {
        return 1;
    }
    return art::check_outputs(dir) == 0 ? 0 : 1;
}
