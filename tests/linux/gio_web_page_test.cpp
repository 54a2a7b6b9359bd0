#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/linux/dialog/gio_web_page.h"

namespace fs = std::filesystem;

namespace wendrel::linux_app {
namespace {

// A desktop of its own in a temporary directory: a recording stand-in
// for the web browser (a script that appends its arguments to a file),
// its desktop file and, when asked, a mimeapps.list that makes it the
// default for web pages. The system's own applications stay out of
// sight; its MIME database stays in.
//
// GIO reads the XDG directories once per process, so every look-up runs
// in a child process of its own; this process never touches GIO.
class GioWebPage : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        root = fs::temp_directory_path() / ("wendrel-gio-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char* dir : {"data/applications", "config", "datadirs", "configdirs", "work"})
            fs::create_directories(root / dir);
        fs::create_directory_symlink("/usr/share/mime", root / "datadirs/mime");
        dataDirs = (root / "datadirs").string();
        recorder = root / "recorder.sh";
        // Programs started one after the other may run at once: each
        // appends its line in one write, so that lines never interleave.
        std::ofstream(recorder) << "#!/bin/sh\n"
                                << "line=\"argc=$#\"; for a; do line=\"$line [$a]\"; done\n"
                                << "printf '%s\\n' \"$line\" >>'" << (root / "record.txt").string()
                                << "'\n";
        fs::permissions(recorder, fs::perms::owner_all);
        fs::current_path(root / "work");
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    // The stand-in's desktop file. Its Exec line has a word of its own
    // before the field code, so a start through that line would show.
    void InstallRecorder(const std::string& exec) const {
        std::ofstream(root / "data/applications/wendrel-recorder.desktop")
            << "[Desktop Entry]\nType=Application\nName=Recorder\n"
            << "Exec=" << exec << " --from-desktop-file %u\n"
            << "MimeType=text/html;\n";
    }
    void MakeRecorderDefault() const {
        std::ofstream(root / "config/mimeapps.list")
            << "[Default Applications]\ntext/html=wendrel-recorder.desktop\n";
    }

    // Runs `body` in a child with the XDG variables pointing here and
    // returns what it returned.
    std::string InChild(const std::function<std::string()>& body) const {
        int fds[2];
        if (::pipe(fds) != 0)
            return "pipe failed";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(20);  // a lookup that hangs ends the child; the status shows it
            ::close(fds[0]);
            ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
            ::setenv("XDG_DATA_DIRS", dataDirs.c_str(), 1);
            ::setenv("XDG_CONFIG_DIRS", (root / "configdirs").c_str(), 1);
            ::setenv("XDG_CURRENT_DESKTOP", "", 1);
            ::setenv("GIO_USE_VFS", "local", 1);
            const std::string out = body();
            const bool written =
                ::write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
            ::_exit(written ? 0 : 3);
        }
        ::close(fds[1]);
        std::string out;
        char buffer[512];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
        return out;
    }

    std::string Find(const std::string& file) const {
        return InChild([&] { return FindWebPageProgram(file).value_or("(none)"); });
    }

    // The stand-in's record once it holds `lines` lines, or what it holds
    // when that has not happened after a generous wait.
    // The recorded lines, sorted: programs started together end their
    // lines in no set order.
    std::string Record(int lines) const {
        std::string text;
        for (int i = 0; i < 100; ++i) {
            std::ifstream in(root / "record.txt");
            std::stringstream s;
            s << in.rdbuf();
            text = s.str();
            if (std::count(text.begin(), text.end(), '\n') >= lines)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::vector<std::string> sorted;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            sorted.push_back(line + "\n");
        std::sort(sorted.begin(), sorted.end());
        std::string result;
        for (const std::string& line : sorted)
            result += line;
        return result;
    }

    fs::path previous, root, recorder;
    std::string dataDirs;
};

TEST_F(GioWebPage, FindsTheDefaultProgramForWebPages) {
    InstallRecorder(recorder.string());
    MakeRecorderDefault();
    std::ofstream("aaa.htm");  // empty, as the page file is made
    EXPECT_EQ(Find("aaa.htm"), recorder.string());
}

TEST_F(GioWebPage, FindsTheProgramOfABareExecutableNameOnThePath) {
    InstallRecorder("recorder.sh");
    MakeRecorderDefault();
    std::ofstream("aaa.htm");
    const std::string path = root.string() + ":" + std::getenv("PATH");
    EXPECT_EQ(InChild([&] {
                  ::setenv("PATH", path.c_str(), 1);
                  return FindWebPageProgram("aaa.htm").value_or("(none)");
              }),
              recorder.string());
}

TEST_F(GioWebPage, AFileThatIsNotThereHasNoProgram) {
    InstallRecorder(recorder.string());
    MakeRecorderDefault();
    EXPECT_EQ(Find("aaa.htm"), "(none)");
}

TEST_F(GioWebPage, NoProgramForWebPagesFindsNothing) {
    std::ofstream("aaa.htm");
    EXPECT_EQ(Find("aaa.htm"), "(none)");
}

TEST_F(GioWebPage, AProgramThatIsGoneIsNotFound) {
    InstallRecorder((root / "missing.sh").string());
    MakeRecorderDefault();
    std::ofstream("aaa.htm");
    EXPECT_EQ(Find("aaa.htm"), "(none)");
}

TEST_F(GioWebPage, WithoutAMimeDatabaseAnHtmFileIsStillAWebPage) {
    fs::remove(root / "datadirs/mime");
    InstallRecorder(recorder.string());
    MakeRecorderDefault();
    std::ofstream("aaa.htm");
    EXPECT_EQ(Find("aaa.htm"), recorder.string());
}

TEST_F(GioWebPage, StartsTheProgramWithTheArgumentAsItsOnlyOne) {
    InChild([&] {
        StartWebPageProgram(recorder.string(), "www.tavrin.example");
        StartWebPageProgram(recorder.string(), "two words; $HOME 'quoted'");
        return std::string();
    });
    EXPECT_EQ(Record(2), "argc=1 [two words; $HOME 'quoted']\nargc=1 [www.tavrin.example]\n");
}

TEST_F(GioWebPage, AProgramThatCannotStartIsIgnored) {
    EXPECT_EQ(InChild([&] {
                  StartWebPageProgram((root / "missing.sh").string(), "www.tavrin.example");
                  return std::string("went on");
              }),
              "went on");
}

TEST_F(GioWebPage, EachHomePageClickStartsTheDefaultProgramOnce) {
    InstallRecorder(recorder.string());
    MakeRecorderDefault();
    EXPECT_EQ(InChild([&] {
                  const WebPageHandler handler = GioWebPageHandler();
                  std::string results;
                  for (int click = 0; click < 2; ++click)
                      results += OpenHomePage(handler, "www.tavrin.example") ? "started " : "no ";
                  return results;
              }),
              "started started ");
    EXPECT_EQ(Record(2), "argc=1 [www.tavrin.example]\nargc=1 [www.tavrin.example]\n");
    EXPECT_FALSE(fs::exists("aaa.htm"));
}

TEST_F(GioWebPage, NoDefaultProgramStartsNothing) {
    EXPECT_EQ(InChild([&] {
                  return std::string(OpenHomePage(GioWebPageHandler(), "www.tavrin.example")
                                         ? "started"
                                         : "nothing");
              }),
              "nothing");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // time for a stray start
    EXPECT_FALSE(fs::exists(root / "record.txt"));
    EXPECT_FALSE(fs::exists("aaa.htm"));
}

}  // namespace
}  // namespace wendrel::linux_app
