#include "app/linux/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace wendrel::linux_app {
namespace {

// "host:number.screen" -> "host-number", with the local host's names
// made one and anything unusual in a file name made '_'.
std::string DisplayKey(const std::string& name) {
    const auto colon = name.rfind(':');
    std::string host = colon == std::string::npos ? "" : name.substr(0, colon);
    std::string number = colon == std::string::npos ? name : name.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (host == "unix" || host == "localhost")
        host.clear();
    std::string key = host.empty() ? number : host + "-" + number;
    for (char& c : key) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.')
            c = '_';
    }
    return key.empty() ? "_" : key;
}

// A directory of the user's own under /tmp, made when missing; refused
// when it is anyone else's or open to others.
std::string FallbackDirectory(std::string& error) {
    const std::string dir = "/tmp/wendrel-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot make " + dir + ": " + std::strerror(errno);
        return "";
    }
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0) {
        error = "cannot use " + dir + ": " + std::strerror(errno);
        return "";
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 0077) != 0) {
        error = dir + " is not a private directory of this user";
        return "";
    }
    return dir;
}

}  // namespace

std::string CInstanceLock::LockPath(const std::string& displayName, std::string& error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string dir =
        runtime != nullptr && *runtime != '\0' ? std::string(runtime) : FallbackDirectory(error);
    if (dir.empty())
        return "";
    return dir + "/wendrel-display-" + DisplayKey(displayName) + ".lock";
}

CInstanceLock::Result CInstanceLock::Acquire(const std::string& displayName, std::string& error) {
    Release();
    const std::string path = LockPath(displayName, error);
    if (path.empty())
        return Result::Failed;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return Result::Failed;
    }
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        const int reason = errno;
        close(fd);
        if (reason == EWOULDBLOCK)
            return Result::Held;
        error = "cannot lock " + path + ": " + std::strerror(reason);
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}

void CInstanceLock::Release() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

}  // namespace wendrel::linux_app
