#include "app/linux/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace wendrel::linux_app {
namespace {

std::string Reason(const std::filesystem::path& path, const std::string& why) {
    return "cannot read " + path.string() + ": " + why;
}

std::string TooLarge(std::uintmax_t maxSize) {
    return maxSize % (1024 * 1024) == 0
               ? "it is larger than " + std::to_string(maxSize / (1024 * 1024)) + " MiB"
               : "it is larger than " + std::to_string(maxSize) + " bytes";
}

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

}  // namespace

bool ReadSmallFile(const std::filesystem::path& path, std::uintmax_t maxSize,
                   FileContents& contents, std::string& error) {
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
    } else if (static_cast<std::uintmax_t>(info.st_size) > maxSize) {
        error = Reason(path, TooLarge(maxSize));
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
        } else if (contents.text.size() + static_cast<std::size_t>(got) > maxSize) {
            error = Reason(path, TooLarge(maxSize));  // it grew meanwhile
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

bool CWriteLock::Take(const std::filesystem::path& file, std::string& error) {
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

CWriteLock::~CWriteLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

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

}  // namespace wendrel::linux_app
