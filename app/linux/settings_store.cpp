#include "app/linux/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace wendrel::linux_app {
namespace {

std::string Trim(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return "";
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool IsSectionLine(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    name = Trim(t.substr(1, t.size() - 2));
    return true;
}

bool IsEntryLine(const std::string& line, const std::string& entry, std::string& value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos || Trim(line.substr(0, eq)) != entry)
        return false;
    value = Trim(line.substr(eq + 1));
    return true;
}

std::string Reason(const std::filesystem::path& path, const std::string& why) {
    return "cannot read " + path.string() + ": " + why;
}

// The settings file as read: its text, and what a rewrite keeps of it.
struct FileContents {
    bool exists = false;
    std::string text;
    mode_t mode = 0600;
    uid_t owner = 0;
    gid_t group = 0;
};

// False, with the reason, when the file exists but cannot be read whole; a
// missing file reads as empty.
bool ReadFile(const std::filesystem::path& path, FileContents& contents, std::string& error) {
    contents = FileContents{};
    // No blocking on a FIFO planted in the file's place.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        error = Reason(path, std::strerror(errno));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        error = Reason(path, std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        error = Reason(path, "it is not a plain file");
        ok = false;
    } else if (static_cast<std::uintmax_t>(info.st_size) > CSettingsStore::kMaxFileSize) {
        error = Reason(path, "it is larger than 1 MiB");
        ok = false;
    }
    char buffer[16384];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = Reason(path, std::strerror(errno));
            ok = false;
        } else if (got == 0) {
            break;
        } else if (contents.text.size() + static_cast<std::size_t>(got) >
                   CSettingsStore::kMaxFileSize) {
            error = Reason(path, "it is larger than 1 MiB");  // it grew meanwhile
            ok = false;
        } else {
            contents.text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (!ok)
        contents.text.clear();
    contents.exists = ok;
    contents.mode = info.st_mode & 07777;
    contents.owner = info.st_uid;
    contents.group = info.st_gid;
    return ok;
}

// The lines, each without its '\n' but with the '\r' of a CRLF ending; a
// last line with no ending takes the file's.
std::vector<std::string> SplitLines(const std::string& text, bool crlf) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + (crlf ? "\r" : ""));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A file whose first line ends in CRLF keeps CRLF for the lines written.
bool UsesCrlf(const std::string& text) {
    const auto end = text.find('\n');
    return end != std::string::npos && end > 0 && text[end - 1] == '\r';
}

std::optional<std::int32_t> FindValue(const std::string& text, const std::string& section,
                                      const std::string& entry) {
    std::string current, value;
    for (const std::string& line : SplitLines(text, false)) {
        if (IsSectionLine(line, current))
            continue;
        if (current != section || !IsEntryLine(line, entry, value))
            continue;
        std::int32_t number = 0;
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, number);
        if (ec == std::errc() && ptr == end && !value.empty())
            return number;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string SetValue(const std::string& text, const std::string& section, const std::string& entry,
                     std::int32_t value) {
    const bool crlf = UsesCrlf(text);
    const std::string ending = crlf ? "\r" : "";
    std::vector<std::string> lines = SplitLines(text, crlf);
    const std::string assignment = entry + "=" + std::to_string(value);
    std::string current, old;
    bool inSection = false, done = false;
    std::size_t insertAt = lines.size();
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        if (IsSectionLine(lines[i], current)) {
            if (inSection)
                break;  // end of our section
            inSection = current == section;
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (inSection) {
            if (IsEntryLine(lines[i], entry, old)) {
                const bool lineCrlf = !lines[i].empty() && lines[i].back() == '\r';
                lines[i] = assignment + (lineCrlf ? "\r" : "");
                done = true;
            } else if (!Trim(lines[i]).empty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (!inSection && insertAt == lines.size()) {
            lines.push_back("[" + section + "]" + ending);
            insertAt = lines.size();
        }
        lines.insert(lines.begin() + static_cast<long>(insertAt), assignment + ending);
    }
    std::string data;
    for (const std::string& line : lines)
        data += line + '\n';
    return data;
}

// The file a write must replace: `path`, or where its symbolic links lead.
bool ResolveLinks(std::filesystem::path path, std::filesystem::path& target, std::string& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(path, ec);
        if (ec) {
            error = "cannot read the link " + path.string() + ": " + ec.message();
            return false;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    error = "cannot write " + path.string() + ": " + std::strerror(ELOOP);
    return false;
}

// An exclusive flock on "<file>.lock" while it lives: writers take turns
// at their read-modify-write; readers need none, since a file is only ever
// replaced whole.
class CWriteLock {
  public:
    bool Take(const std::filesystem::path& file, std::string& error) {
        const std::string path = file.string() + ".lock";
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        // One left by another user (a run through sudo, say) still locks.
        if (m_fd < 0 && errno == EACCES)
            m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (m_fd < 0) {
            error = "cannot lock " + file.string() + ": " + std::strerror(errno);
            return false;
        }
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = "cannot lock " + file.string() + ": " + std::strerror(errno);
                return false;
            }
        }
        return true;
    }
    ~CWriteLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }

  private:
    int m_fd = -1;
};

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Writes `data` to a new file beside `target` with the old file's
// permissions and renames it over `target`, then syncs the folder so that
// the rename outlives a crash. False, with the reason, and `target` as it
// was, when any step fails.
bool ReplaceFile(const std::filesystem::path& target, const std::string& data,
                 const FileContents& old, std::string& error) {
    std::string temp = target.string() + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot write " + target.string() + ": " + std::strerror(errno);
        return false;
    }
    bool ok = ::fchmod(fd, old.exists ? old.mode : 0600) == 0;
    if (ok && old.exists && (old.owner != ::geteuid() || old.group != ::getegid())) {
        // Only a privileged writer can give the file back to its owner.
        [[maybe_unused]] const int given = ::fchown(fd, old.owner, old.group);
    }
    ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
    int failure = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        failure = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = "cannot write " + target.string() + ": " + std::strerror(failure);
        return false;
    }
    const std::filesystem::path dir = target.parent_path().empty() ? "." : target.parent_path();
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace

CSettingsStore::CSettingsStore(std::filesystem::path configHome, std::string company,
                               std::string program)
    : m_path(std::move(configHome) / company / (program + ".conf")) {}

std::filesystem::path CSettingsStore::DefaultConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".config";
}

std::string CSettingsStore::ProgramName(const std::string& argv0) {
    std::string name = std::filesystem::path(argv0).filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return name.empty() ? "wendrel" : name;
}

std::int32_t CSettingsStore::GetProfileInt(const std::string& section, const std::string& entry,
                                           std::int32_t defaultValue) const {
    std::int32_t value = defaultValue;
    std::string ignored;
    ReadProfileInt(section, entry, defaultValue, value, ignored);
    return value;
}

bool CSettingsStore::ReadProfileInt(const std::string& section, const std::string& entry,
                                    std::int32_t defaultValue, std::int32_t& value,
                                    std::string& error) const {
    value = defaultValue;
    FileContents contents;
    if (!ReadFile(m_path, contents, error))
        return false;
    value = FindValue(contents.text, section, entry).value_or(defaultValue);
    return true;
}

bool CSettingsStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                     std::int32_t value, std::string& error) const {
    std::filesystem::path target;
    if (!ResolveLinks(m_path, target, error))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec) {
        error = "cannot write " + target.string() + ": " + ec.message();
        return false;
    }
    CWriteLock lock;
    if (!lock.Take(target, error))
        return false;
    FileContents old;
    if (!ReadFile(target, old, error)) {
        error += "; it is left as it is";
        return false;
    }
    return ReplaceFile(target, SetValue(old.text, section, entry, value), old, error);
}

}  // namespace wendrel::linux_app
