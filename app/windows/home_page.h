#pragma once

#include <windows.h>

#include "saver/home_page_link.h"

namespace wendrel {

// The shell calls the home-page link makes; tests replace them.
struct CShellCalls {
    HINSTANCE(WINAPI* findExecutable)(LPCSTR file, LPCSTR directory, LPSTR result);
    HINSTANCE(WINAPI* shellExecute)
    (HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);
    BOOL(WINAPI* deleteFile)(LPCSTR file);
};

// The system's own shell calls.
const CShellCalls& SystemShellCalls();

// The home-page link (OpenHomePage of home_page_link.h) through `shell`:
// the program associated with "aaa.htm" starts once, with `address` as its
// only argument.
void OpenHomePage(const CShellCalls& shell, const char* address);

}  // namespace wendrel
