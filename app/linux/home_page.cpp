#include "app/linux/home_page.h"

#include <fcntl.h>
#include <unistd.h>

namespace wendrel::linux_app {
namespace {

class CLinuxHomePageCalls : public CHomePageCalls {
  public:
    explicit CLinuxHomePageCalls(const WebPageHandler& handler) : m_handler(handler) {}

    bool OpenExisting(const char* file) override {
        return Close(::open(file, O_RDONLY | O_CLOEXEC));
    }
    bool CreateNew(const char* file) override {
        // O_EXCL: an existing file, even one that cannot be read, is never replaced.
        return Close(::open(file, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    }
    std::optional<std::string> FindProgram(const char* file) override {
        auto program = m_handler.findProgram ? m_handler.findProgram(file) : std::nullopt;
        // A program that cannot be started counts as none.
        return m_handler.start ? program : std::nullopt;
    }
    void Start(const std::string& program, const char* address) override {
        m_handler.start(program, address);
    }
    void Delete(const char* file) override { ::unlink(file); }

  private:
    static bool Close(int fd) { return fd >= 0 && ::close(fd) == 0; }

    const WebPageHandler& m_handler;
};

}  // namespace

bool OpenHomePage(const WebPageHandler& handler, const std::string& address) {
    CLinuxHomePageCalls calls(handler);
    return wendrel::OpenHomePage(calls, address.c_str());
}

}  // namespace wendrel::linux_app
