// Runs the real wendrel-render and checks what it writes against frames
// composed here by the engine itself.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/leaf_images.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace fs = std::filesystem;

namespace wendrel {
namespace {

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RenderCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("wendrel-render-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    RunResult Render(const std::string& args) {
        // A run that hangs is ended (status 124) rather than the test.
        const std::string command = "timeout 120 " + std::string(WENDREL_RENDER_PATH) + " " + args +
                                    " >" + (dir / "stdout").string() + " 2>" +
                                    (dir / "stderr").string();
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "stdout"),
                Slurp(dir / "stderr")};
    }

    // The frames the engine composes for a seed, tick by tick.
    static std::vector<std::vector<std::uint8_t>> EngineFrames(std::uint32_t seed, int ticks,
                                                               bool direct) {
        CSaverCore core;
        core.m_bDirectDraw = direct;
        CLeafScene scene;
        scene.LoadBackground();
        ResetAnimationGlobals();
        SeedRandom(seed);
        std::vector<std::vector<std::uint8_t>> frames;
        for (int t = 0; t < ticks; ++t) {
            AnimationTick(scene, {});
            frames.emplace_back(scene.Frame(), scene.Frame() + kFrameBytes);
        }
        return frames;
    }

    fs::path dir;
};

std::string BmpOf(const std::uint8_t* pixels, std::int32_t w, std::int32_t h) {
    const BITMAPINFOHEADER header = MakeHeader24(w, h);
    std::string file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const std::uint32_t size = 54 + header.biSizeImage, offset = 54;
    std::memcpy(&file[2], &size, 4);
    std::memcpy(&file[10], &offset, 4);
    file.append(reinterpret_cast<const char*>(&header), sizeof header);
    file.append(reinterpret_cast<const char*>(pixels), header.biSizeImage);
    return file;
}

TEST_F(RenderCli, FramesAreTheEnginesOwnInBothPaces) {
    for (int direct = 0; direct < 2; ++direct) {
        const fs::path out = dir / (direct ? "dd" : "gdi");
        const RunResult run = Render("--ticks 40 --seed 99 --every 7 --out " + out.string() +
                                     (direct ? " --direct" : ""));
        ASSERT_EQ(run.status, 0) << run.err;
        const auto frames = EngineFrames(99, 40, direct);
        int files = 0;
        for (const auto& entry : fs::directory_iterator(out)) {
            (void)entry;
            ++files;
        }
        EXPECT_EQ(files, 5);  // ticks 7, 14, 21, 28, 35
        for (int tick = 7; tick <= 40; tick += 7) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06d.bmp", tick);
            const std::string file = Slurp(out / name);
            ASSERT_EQ(file.size(), 14u + 40u + 921600u) << name;
            EXPECT_TRUE(file == BmpOf(frames[tick - 1].data(), 640, 480)) << name;
        }
    }
    // The paces really differ.
    EXPECT_NE(Slurp(dir / "gdi" / "frame-000035.bmp"), Slurp(dir / "dd" / "frame-000035.bmp"));
}

TEST_F(RenderCli, PngFramesHoldTheSamePixels) {
    const RunResult run = Render("--ticks 3 --seed 5 --format png --out " + dir.string());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto frames = EngineFrames(5, 3, false);
    for (int tick = 1; tick <= 3; ++tick) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", tick);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir / name).c_str())) << name;
        EXPECT_EQ(image.width, 640u);
        EXPECT_EQ(image.height, 480u);
        image.format = PNG_FORMAT_BGR;
        std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
        // Negative stride: the first row read is the last one stored.
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), -1920, nullptr));
        EXPECT_TRUE(pixels == frames[tick - 1]) << name;
    }
}

TEST_F(RenderCli, TraceHasOneLinePerTick) {
    const RunResult run = Render("--ticks 20 --seed 1 --trace -");
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    const std::regex shape(
        R"(\{"tick":(\d+),"leaves":(\d+),"target":(\d+),"wind":(-?\d+),"gustStep":(-?\d+),)"
        R"("gustActive":([01]),"spawnCounter":(\d+)\})");
    int n = 0;
    while (std::getline(lines, line)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, shape)) << line;
        EXPECT_EQ(std::stoi(m[1]), ++n);
    }
    EXPECT_EQ(n, 20);
    // Seed 1: the first draw is 41, odd, so the first decision raises the target.
    EXPECT_EQ(
        run.out.substr(0, run.out.find('\n')),
        R"({"tick":1,"leaves":1,"target":11,"wind":0,"gustStep":0,"gustActive":0,"spawnCounter":0})");

    const RunResult toFile = Render("--ticks 20 --seed 1 --trace " + (dir / "t.jsonl").string());
    ASSERT_EQ(toFile.status, 0);
    EXPECT_EQ(Slurp(dir / "t.jsonl"), run.out);
}

TEST_F(RenderCli, ImagesAreTheConvertedArt) {
    const RunResult run = Render("--ticks 0 --images " + (dir / "art").string());
    ASSERT_EQ(run.status, 0) << run.err;
    CSaverCore core;
    CLeafScene scene;
    scene.LoadBackground();
    EXPECT_TRUE(Slurp(dir / "art" / "background.bmp") == BmpOf(scene.Background(), 640, 480));
    AcquireLeafImages();
    for (int slot = 0; slot < 8; ++slot) {
        const std::string name = "leaf" + std::to_string(slot) + ".bmp";
        EXPECT_TRUE(Slurp(dir / "art" / name) == BmpOf(LeafImageSlot(slot), 48, 48)) << name;
    }
    ReleaseLeafImages();
}

TEST_F(RenderCli, BadInputEndsWithAMessageAndTheRightStatus) {
    for (const char* args : {"", "--ticks", "--ticks x", "--ticks 1 --every 0", "--bogus",
                             "--ticks 1 --format jpg", "--ticks 1 --seed 99999999999"}) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err.rfind("wendrel-render: ", 0), 0u) << args;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << args;
    }
    std::ofstream(dir / "plain-file") << "x";
    const std::string blocked = (dir / "plain-file" / "sub").string();
    for (const std::string& args : {"--ticks 2 --out " + blocked, "--ticks 2 --trace " + blocked,
                                    "--ticks 0 --images " + blocked}) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(run.err.rfind("wendrel-render: ", 0), 0u) << args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    // The system's reason, for a file that cannot be opened...
    const RunResult noDir = Render("--ticks 2 --trace " + (dir / "missing" / "t.jsonl").string());
    EXPECT_EQ(noDir.status, 1);
    EXPECT_NE(noDir.err.find(": No such file or directory"), std::string::npos) << noDir.err;
    const RunResult help = Render("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--ticks N"), std::string::npos);
    const RunResult version = Render("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "wendrel-render " WENDREL_PROJECT_VERSION "\n");
}

TEST_F(RenderCli, AFullDiskStopsTheTraceAtTheFirstFailedWrite) {
    // 100,000 ticks would print a progress line every 1,000; the run must
    // end at the first write that fails, long before the first of them.
    const std::string toFull[] = {"--ticks 100000 --seed 3 --trace /dev/full",
                                  "--ticks 100000 --seed 3 --trace - >/dev/full"};
    for (const std::string& args : toFull) {
        const std::string command =
            std::string(WENDREL_RENDER_PATH) + " " + args + " 2>" + (dir / "stderr").string();
        const int raw = std::system(command.c_str());
        const std::string err = Slurp(dir / "stderr");
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << args << ": " << raw;
        EXPECT_EQ(err.rfind("wendrel-render: cannot write ", 0), 0u) << err;
        EXPECT_NE(err.find(": No space left on device\n"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

}  // namespace
}  // namespace wendrel
