// The settings file under hostile conditions: unreadable files, links,
// permissions, line endings and two writers at once. Cases about
// permissions run as the user nobody when the tests run as root, since
// root reads any file.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "app/linux/settings_store.h"

namespace fs = std::filesystem;

namespace wendrel::linux_app {
namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Spit(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs `body` in a child process, as nobody when this process is root;
// the child's answer is "" for success or what went wrong.
std::string InChild(bool asNobody, const std::function<std::string()>& body) {
    int answer[2];
    if (pipe(answer) != 0)
        return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        close(answer[0]);
        std::string result;
        if (asNobody && geteuid() == 0) {
            const passwd* user = getpwnam("nobody");
            const group* nogroup = getgrnam("nogroup");
            const gid_t gid = nogroup != nullptr ? nogroup->gr_gid : (user ? user->pw_gid : 0);
            if (user == nullptr || setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 ||
                setresuid(user->pw_uid, user->pw_uid, user->pw_uid) != 0)
                result = "cannot become nobody";
        }
        if (result.empty())
            result = body();
        [[maybe_unused]] const ssize_t wrote = write(answer[1], result.data(), result.size());
        close(answer[1]);
        _exit(0);
    }
    close(answer[1]);
    std::string result;
    char buffer[512];
    for (ssize_t got; (got = read(answer[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(got));
    close(answer[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child failed: " + std::to_string(status) + " " + result;
    return result;
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        // In memory where there is such a folder: thousands of synced
        // writes on a disk would take minutes.
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        std::string pattern = (base / "wendrel-settings-file.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home = pattern;
        dir = home / "Tavrin Screen Savers";
        fs::create_directories(dir);
        conf = dir / "wendrel.conf";
        // The unprivileged user must be able to work in it.
        if (geteuid() == 0) {
            const passwd* user = getpwnam("nobody");
            ASSERT_NE(user, nullptr);
            ASSERT_EQ(chown(home.c_str(), user->pw_uid, user->pw_gid), 0);
            ASSERT_EQ(chown(dir.c_str(), user->pw_uid, user->pw_gid), 0);
        }
    }
    void TearDown() override { fs::remove_all(home); }

    CSettingsStore Store() const { return CSettingsStore(home, "Tavrin Screen Savers", "wendrel"); }

    // What the unprivileged user gets from a read and a write: "" when
    // both were refused with a reason containing `reason`.
    std::string RefusedAsNobody(const std::string& reason) const {
        return InChild(true, [&]() -> std::string {
            std::int32_t value = 5;
            std::string error;
            if (Store().ReadProfileInt("LEAF", "NoDirect", 0, value, error))
                return "the read succeeded";
            if (value != 0)
                return "the read gave " + std::to_string(value) + ", not the default";
            if (error.find(reason) == std::string::npos)
                return "read error: " + error;
            error.clear();
            if (Store().WriteProfileInt("LEAF", "NoDirect", 0, error))
                return "the write succeeded";
            if (error.find(reason) == std::string::npos)
                return "write error: " + error;
            return "";
        });
    }

    // The names in the settings folder, the write lock's file aside.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& item : fs::directory_iterator(dir)) {
            if (item.path().filename() != "wendrel.conf.lock")
                names.insert(item.path().filename().string());
        }
        return names;
    }

    fs::path home, dir, conf;
};

const char* const kMine = "# mine\n[LEAF]\nNoDirect=1\n[OTHER]\nkeep=me\n";

TEST_F(SettingsFile, AFileThatCannotBeReadIsNeverReplaced) {
    // No permission to read it: mode 000, and a file of another user.
    Spit(conf, kMine);
    ASSERT_EQ(chmod(conf.c_str(), 0), 0);
    EXPECT_EQ(RefusedAsNobody("Permission denied"), "");
    EXPECT_EQ(Slurp(conf), kMine);
    EXPECT_EQ(fs::status(conf).permissions(), fs::perms::none);
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(conf.c_str(), 0600), 0);
        ASSERT_EQ(chown(conf.c_str(), 0, 0), 0);
        EXPECT_EQ(RefusedAsNobody("Permission denied"), "");
        EXPECT_EQ(Slurp(conf), kMine);
    }
    EXPECT_EQ(Names(), std::set<std::string>{"wendrel.conf"});

    // Larger than 1 MiB: refused; exactly 1 MiB is still read.
    fs::remove(conf);
    std::string big = "[LEAF]\nNoDirect=1\n";
    big.resize(CSettingsStore::kMaxFileSize, '#');
    big.back() = '\n';
    Spit(conf, big);
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 0), 1);
    Spit(conf, big + "x\n");
    EXPECT_EQ(RefusedAsNobody("larger than 1 MiB"), "");
    std::string error;
    EXPECT_FALSE(Store().WriteProfileInt("LEAF", "NoDirect", 0, error));
    EXPECT_NE(error.find("larger than 1 MiB; it is left as it is"), std::string::npos) << error;
    EXPECT_EQ(Slurp(conf), big + "x\n");

    // Not a plain file: a folder, and a FIFO that would block a reader.
    fs::remove(conf);
    fs::create_directory(conf);
    EXPECT_EQ(RefusedAsNobody("not a plain file"), "");
    fs::remove(conf);
    ASSERT_EQ(mkfifo(conf.c_str(), 0666), 0);
    EXPECT_EQ(RefusedAsNobody("not a plain file"), "");
    EXPECT_TRUE(fs::is_fifo(conf));
    EXPECT_EQ(Names(), std::set<std::string>{"wendrel.conf"});
}

TEST_F(SettingsFile, WritesKeepPermissionsAndLineEndingsAndLeaveNoTemporaryFile) {
    std::string error;
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", 1, error)) << error;
    EXPECT_EQ(fs::status(conf).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(chmod(conf.c_str(), 0644), 0);
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", 0, error)) << error;
    EXPECT_EQ(static_cast<int>(fs::status(conf).permissions()), 0644);
    ASSERT_EQ(chmod(conf.c_str(), 0640), 0);
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "Other", 3, error)) << error;
    EXPECT_EQ(static_cast<int>(fs::status(conf).permissions()), 0640);
    EXPECT_EQ(Slurp(conf), "[LEAF]\nNoDirect=0\nOther=3\n");

    const std::pair<const char*, const char*> crlf[] = {
        {"[LEAF]\r\nNoDirect=0\r\nOther=1\r\n", "[LEAF]\r\nNoDirect=7\r\nOther=1\r\n"},
        {"# mine\r\n[A]\r\nx=1\r\n", "# mine\r\n[A]\r\nx=1\r\n[LEAF]\r\nNoDirect=7\r\n"},
        {"[LEAF]\r\nOther=1", "[LEAF]\r\nOther=1\r\nNoDirect=7\r\n"},
        {"[LEAF]\r\nNoDirect=1", "[LEAF]\r\nNoDirect=7\r\n"},
        // Each line keeps its own ending; new lines take the first line's.
        {"[LEAF]\nNoDirect=1\r\nx=2\n", "[LEAF]\nNoDirect=7\r\nx=2\n"},
        {"[LEAF]\nx=2\r\n", "[LEAF]\nx=2\r\nNoDirect=7\n"},
    };
    for (const auto& [before, after] : crlf) {
        Spit(conf, before);
        ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", 7, error)) << error;
        EXPECT_EQ(Slurp(conf), after) << before;
        EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 0), 7) << before;
    }
    EXPECT_EQ(Names(), std::set<std::string>{"wendrel.conf"});

    // A folder nobody may write in: the write fails with the reason and
    // leaves the file and the folder as they were.
    Spit(conf, kMine);
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    EXPECT_EQ(InChild(true,
                      [&]() -> std::string {
                          std::string failure;
                          if (Store().WriteProfileInt("LEAF", "NoDirect", 0, failure))
                              return "the write succeeded";
                          return failure.find("Permission denied") != std::string::npos ? ""
                                                                                        : failure;
                      }),
              "");
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    EXPECT_EQ(Slurp(conf), kMine);
    EXPECT_EQ(Names(), std::set<std::string>{"wendrel.conf"});
}

TEST_F(SettingsFile, LinksAreFollowedToTheFileAndNeverPlanted) {
    // A managed dotfile: the link stays, its target is updated.
    const fs::path dotfiles = home / "dotfiles";
    fs::create_directories(dotfiles);
    Spit(dotfiles / "wendrel.conf", kMine);
    fs::create_symlink("../dotfiles/wendrel.conf", conf);
    std::string error;
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", 0, error)) << error;
    EXPECT_TRUE(fs::is_symlink(conf));
    EXPECT_EQ(Slurp(dotfiles / "wendrel.conf"), "# mine\n[LEAF]\nNoDirect=0\n[OTHER]\nkeep=me\n");
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 9), 0);
    // A chain of links, the last one dangling: the file is made there.
    fs::remove(conf);
    fs::create_symlink(home / "link2", conf);
    fs::create_symlink(dotfiles / "new.conf", home / "link2");
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", 1, error)) << error;
    EXPECT_TRUE(fs::is_symlink(conf));
    EXPECT_EQ(Slurp(dotfiles / "new.conf"), "[LEAF]\nNoDirect=1\n");
    // A loop of links is an error, not a hang.
    fs::remove(conf);
    fs::create_symlink(dir / "loop", conf);
    fs::create_symlink(conf, dir / "loop");
    EXPECT_FALSE(Store().WriteProfileInt("LEAF", "NoDirect", 1, error));
    EXPECT_NE(error.find("symbolic links"), std::string::npos) << error;
    fs::remove(conf);
    fs::remove(dir / "loop");

    // Links planted where a fixed temporary name would be are not written
    // through.
    Spit(home / "victim", "precious\n");
    for (const char* name : {"wendrel.conf.tmp", "wendrel.conf.XXXXXX", "wendrel.conf.new"})
        fs::create_symlink(home / "victim", dir / name);
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", 1, error)) << error;
    EXPECT_EQ(Slurp(home / "victim"), "precious\n");
    EXPECT_FALSE(fs::is_symlink(conf));
    EXPECT_EQ(Slurp(conf), "[LEAF]\nNoDirect=1\n");
}

TEST_F(SettingsFile, TwoWritersLoseNothingAndReadersNeverSeeAPartialFile) {
    // Each writer writes 2,000 times: its own section, and its own entry
    // of a section both share.
    constexpr int kRounds = 1000;
    Spit(conf, "# mine\n[KEEP]\nx=1\n");
    const auto writer = [&](const std::string& section) {
        return [&, section]() -> std::string {
            for (int i = 1; i <= kRounds; ++i) {
                std::string error;
                if (!Store().WriteProfileInt(section, "n", i, error))
                    return section + " write " + std::to_string(i) + ": " + error;
                if (!Store().WriteProfileInt("SHARED", section, i, error))
                    return section + " shared write " + std::to_string(i) + ": " + error;
            }
            return "";
        };
    };
    // The writers run as separate processes; this one reads meanwhile.
    std::string resultA, resultB;
    int pipes[2][2];
    pid_t pids[2];
    const std::function<std::string()> bodies[2] = {writer("A"), writer("B")};
    for (int w = 0; w < 2; ++w) {
        ASSERT_EQ(pipe(pipes[w]), 0);
        pids[w] = fork();
        if (pids[w] == 0) {
            const std::string result = bodies[w]();
            [[maybe_unused]] const ssize_t wrote = write(pipes[w][1], result.data(), result.size());
            _exit(0);
        }
        close(pipes[w][1]);
    }
    int reads = 0;
    std::string bad;
    for (;;) {
        int status = 0;
        const bool running =
            waitpid(pids[0], &status, WNOHANG) == 0 || waitpid(pids[1], &status, WNOHANG) == 0;
        const std::string text = Slurp(conf);
        ++reads;
        if (bad.empty() && (text.rfind("# mine\n[KEEP]\nx=1\n", 0) != 0 || text.back() != '\n' ||
                            text.find("\n\n") != std::string::npos))
            bad = "a reader saw: '" + text + "'";
        if (!running)
            break;
    }
    for (int w = 0; w < 2; ++w) {
        std::string result;
        char buffer[512];
        for (ssize_t got; (got = read(pipes[w][0], buffer, sizeof buffer)) > 0;)
            result.append(buffer, static_cast<std::size_t>(got));
        close(pipes[w][0]);
        waitpid(pids[w], nullptr, 0);
        EXPECT_EQ(result, "") << "writer " << w;
    }
    EXPECT_EQ(bad, "");
    EXPECT_GT(reads, 10);
    EXPECT_EQ(Store().GetProfileInt("A", "n", 0), kRounds);
    EXPECT_EQ(Store().GetProfileInt("B", "n", 0), kRounds);
    EXPECT_EQ(Store().GetProfileInt("SHARED", "A", 0), kRounds);
    EXPECT_EQ(Store().GetProfileInt("SHARED", "B", 0), kRounds);
    EXPECT_EQ(Store().GetProfileInt("KEEP", "x", 0), 1);
    EXPECT_EQ(Names(), std::set<std::string>{"wendrel.conf"});
}

}  // namespace
}  // namespace wendrel::linux_app
