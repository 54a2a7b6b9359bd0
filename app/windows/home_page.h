#pragma once

#include <windows.h>

namespace wendrel {

// The maker's home page: a bare host name, as the browser is handed it.
extern const char* const kHomePageAddress;
// The page file through which the program for web pages is found.
extern const char* const kPageFileName;

// The shell calls the home-page link makes; tests replace them.
struct CShellCalls {
    HINSTANCE(WINAPI* findExecutable)(LPCSTR file, LPCSTR directory, LPSTR result);
    HINSTANCE(WINAPI* shellExecute)
    (HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);
    BOOL(WINAPI* deleteFile)(LPCSTR file);
};

// The system's own shell calls.
const CShellCalls& SystemShellCalls();

// Starts the program associated with "aaa.htm" in the current directory,
// once, with `address` as its only argument. The file is made (empty) only
// when none exists, and deleted afterwards only when it was made here.
void OpenHomePage(const CShellCalls& shell, const char* address);

}  // namespace wendrel
