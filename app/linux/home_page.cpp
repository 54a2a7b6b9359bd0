#include "home_page.h"

#include <fcntl.h>
#include <unistd.h>

namespace wendrel::linux_app {

const char* const kPageFileName = "aaa.htm";

bool OpenHomePage(const WebPageHandler& handler, const std::string& address) {
    bool created = false;
    int fd = ::open(kPageFileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // O_EXCL: an existing file, even one that cannot be read, is never replaced.
        fd = ::open(kPageFileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        created = fd >= 0;
    }
    if (fd >= 0)
        ::close(fd);
    bool started = false;
    const auto program = handler.findProgram ? handler.findProgram(kPageFileName) : std::nullopt;
    if (program && handler.start) {
        handler.start(*program, address);
        started = true;
    }
    if (created)
        ::unlink(kPageFileName);
    return started;
}

int LoadCheckState(int stored) {
    return stored < 0 || stored > 2 ? 0 : stored;
}

}  // namespace wendrel::linux_app
