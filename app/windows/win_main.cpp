// The saver's entry point and its one application object.
#include "app/windows/saver_app.h"

namespace {
wendrel::CSaverApp theApp;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    return wendrel::AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
