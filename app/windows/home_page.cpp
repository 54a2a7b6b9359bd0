#include "home_page.h"

#include <shellapi.h>

namespace wendrel {

const char* const kHomePageAddress = "www.tavrin.example";
const char* const kPageFileName = "aaa.htm";

const CShellCalls& SystemShellCalls() {
    static const CShellCalls calls{&FindExecutableA, &ShellExecuteA, &DeleteFileA};
    return calls;
}

void OpenHomePage(const CShellCalls& shell, const char* address) {
    bool created = false;
    HANDLE file = CreateFileA(kPageFileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // CREATE_NEW: an existing file, even one that cannot be read, is never replaced.
        file = CreateFileA(kPageFileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        created = file != INVALID_HANDLE_VALUE;
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);

    char program[MAX_PATH] = "";
    // Success is a value above 32; below that it is an error code.
    const auto found =
        reinterpret_cast<INT_PTR>(shell.findExecutable(kPageFileName, nullptr, program));
    if (found > 32)
        shell.shellExecute(nullptr, "open", program, address, nullptr, SW_SHOWDEFAULT);
    if (created)
        shell.deleteFile(kPageFileName);
}

}  // namespace wendrel
