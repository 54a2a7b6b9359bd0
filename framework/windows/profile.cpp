// The application's registry profile.
#include "framework/windows/win_app.h"

namespace wendrel {
namespace {

// Opens (making it when missing) one key for reading and writing.
HKEY CreateKey(HKEY hParent, const char* lpszName) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(hParent, lpszName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

// HKEY_CURRENT_USER\software\<company>\<application>\<section>, each key
// opened or made in turn; null when any of them fails.
HKEY OpenSectionKey(const CWinApp& app, const char* lpszSection) {
    if (app.m_strRegistryKey.empty() || app.m_strAppName.empty())
        return nullptr;
    const char* path[] = {"software", app.m_strRegistryKey.c_str(), app.m_strAppName.c_str(),
                          lpszSection};
    HKEY hKey = HKEY_CURRENT_USER;
    for (const char* name : path) {
        HKEY hChild = CreateKey(hKey, name);
        if (hKey != HKEY_CURRENT_USER)
            RegCloseKey(hKey);
        if (hChild == nullptr)
            return nullptr;
        hKey = hChild;
    }
    return hKey;
}

}  // namespace

void CWinApp::SetRegistryKey(const char* lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : "";
}

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) {
    HKEY hKey = OpenSectionKey(*this, lpszSection);
    if (hKey == nullptr)
        return static_cast<UINT>(nDefault);
    // At most four bytes, whatever the stored type says.
    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD dwCount = sizeof dwValue;
    const LONG result = RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType,
                                         reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
    RegCloseKey(hKey);
    if (result != ERROR_SUCCESS)
        return static_cast<UINT>(nDefault);
    return dwValue;
}

BOOL CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue) {
    HKEY hKey = OpenSectionKey(*this, lpszSection);
    if (hKey == nullptr)
        return FALSE;
    const DWORD dwValue = static_cast<DWORD>(nValue);
    const LONG result = RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
    RegCloseKey(hKey);
    return result == ERROR_SUCCESS;
}

}  // namespace wendrel
