// The entry of the Windows test programs. Under a bare X server no window
// manager answers, and Wine would wait two seconds for one whenever a
// managed window goes away: the test program's windows are unmanaged (for
// that program only).
#include <gtest/gtest.h>

#include <string>

#include "framework/windows/win32.h"

namespace {

// The running program's file name, as Wine's per-program settings name it.
std::string ProgramFileName() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length);
    const auto slash = full.find_last_of("\\/");
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

void UseUnmanagedWindows() {
    const std::string key = "Software\\Wine\\AppDefaults\\" + ProgramFileName() + "\\X11 Driver";
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
        return;
    const char no[] = "N";
    RegSetValueExA(hKey, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof no);
    RegCloseKey(hKey);
}

}  // namespace

int main(int argc, char** argv) {
    UseUnmanagedWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
