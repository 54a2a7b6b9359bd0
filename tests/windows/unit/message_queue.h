#pragma once

#include "framework/windows/win32.h"

namespace wendrel::test {

// Dispatches every message waiting for this thread, except that WM_CLOSE
// (posted to any window) is taken off and counted, and WM_QUIT is taken
// off and remembered for TakeQuit. Returns the WM_CLOSE count.
int PumpKeepingWindows();
// Dispatches every message waiting, WM_CLOSE included.
void Pump();
// Takes the WM_CLOSE messages posted to hWnd off the queue, dispatching
// nothing else; returns their count.
int TakeCloseRequests(HWND hWnd);
// True when a quit request was posted (and takes it); its exit code in
// *pCode.
bool TakeQuit(int* pCode = nullptr);

}  // namespace wendrel::test
