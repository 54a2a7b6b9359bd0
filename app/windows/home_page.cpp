#include "app/windows/home_page.h"

#include <shellapi.h>

namespace wendrel {
namespace {

class CShellHomePageCalls : public CHomePageCalls {
  public:
    explicit CShellHomePageCalls(const CShellCalls& shell) : m_shell(shell) {}

    bool OpenExisting(const char* file) override {
        return Close(CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    bool CreateNew(const char* file) override {
        // CREATE_NEW: an existing file, even one that cannot be read, is never replaced.
        return Close(CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    }
    std::optional<std::string> FindProgram(const char* file) override {
        char program[MAX_PATH] = "";
        // Success is a value above 32; below that it is an error code.
        const auto found =
            reinterpret_cast<INT_PTR>(m_shell.findExecutable(file, nullptr, program));
        if (found <= 32)
            return std::nullopt;
        return std::string(program);
    }
    void Start(const std::string& program, const char* address) override {
        m_shell.shellExecute(nullptr, "open", program.c_str(), address, nullptr, SW_SHOWDEFAULT);
    }
    void Delete(const char* file) override { m_shell.deleteFile(file); }

  private:
    static bool Close(HANDLE file) {
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }

    const CShellCalls& m_shell;
};

}  // namespace

const CShellCalls& SystemShellCalls() {
    static const CShellCalls calls{&FindExecutableA, &ShellExecuteA, &DeleteFileA};
    return calls;
}

void OpenHomePage(const CShellCalls& shell, const char* address) {
    CShellHomePageCalls calls(shell);
    wendrel::OpenHomePage(calls, address);
}

}  // namespace wendrel
