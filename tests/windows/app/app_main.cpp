// The application tests' entry. Under a bare X server no window manager
// answers, and Wine would wait two seconds for one whenever a managed window
// goes away: this program's windows are unmanaged.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

void UseUnmanagedWindows() {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER,
                        "Software\\Wine\\AppDefaults\\wendrel_app_tests.exe\\X11 Driver", 0,
                        nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
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
