// The full-screen window's DirectDraw set-up and release, and the choice
// of display mode.
#include "direct_draw.h"

#include <cstring>

#include "display_app.h"
#include "full_screen_wnd.h"
#include "user_exception.h"

namespace wendrel {

DirectDrawCreateFn pfnDirectDrawCreate = SystemDirectDrawCreate;
DDSURFACEDESC chosenMode{};

namespace {

void Check(HRESULT result) {
    if (result != DD_OK)
        AfxThrowUserException();
}

}  // namespace

HRESULT WINAPI SystemDirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter) {
    // Loaded only here, so that a saver that never asks for DirectDraw never
    // starts the driver. Kept loaded for the life of the process.
    static HMODULE hDdraw = LoadLibraryA("ddraw.dll");
    FARPROC proc = hDdraw != nullptr ? GetProcAddress(hDdraw, "DirectDrawCreate") : nullptr;
    if (proc == nullptr)
        return DDERR_GENERIC;
    auto create = reinterpret_cast<DirectDrawCreateFn>(reinterpret_cast<void*>(proc));
    return create(lpGUID, lplpDD, pUnkOuter);
}

HRESULT WINAPI EnumModeCallback(LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID) {
    std::memset(&chosenMode, 0, sizeof chosenMode);
    const DDPIXELFORMAT& format = lpDDSurfaceDesc->ddpfPixelFormat;
    const DWORD bits = format.dwFlags == DDPF_RGB ? format.dwRGBBitCount : 0;
    const CSaverCore& core = SaverCore();
    if (lpDDSurfaceDesc->dwHeight == static_cast<DWORD>(core.m_nSceneHeight) &&
        lpDDSurfaceDesc->dwWidth == static_cast<DWORD>(core.m_nSceneWidth) &&
        (bits == 24 || bits == 32)) {
        std::memcpy(&chosenMode, lpDDSurfaceDesc, sizeof chosenMode);
        return DDENUMRET_CANCEL;
    }
    return DDENUMRET_OK;
}

void CFullScreenWnd::InitDirectDraw() {
    CDisplayApp& app = DisplayApp();
    try {
        Check(pfnDirectDrawCreate(nullptr, &app.m_pDirectDraw, nullptr));
        Check(app.m_pDirectDraw->SetCooperativeLevel(m_hWnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
        // A driver that lists no mode at all must not leave an earlier
        // choice behind.
        std::memset(&chosenMode, 0, sizeof chosenMode);
        app.m_pDirectDraw->EnumDisplayModes(0, nullptr, nullptr, EnumModeCallback);
        if (chosenMode.dwSize == 0)
            AfxThrowUserException();
        Check(app.m_pDirectDraw->SetDisplayMode(chosenMode.dwWidth, chosenMode.dwHeight,
                                                chosenMode.ddpfPixelFormat.dwRGBBitCount));

        DDSURFACEDESC primary{};
        primary.dwSize = sizeof primary;
        primary.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        primary.dwBackBufferCount = 1;
        primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        Check(app.m_pDirectDraw->CreateSurface(&primary, &app.m_pPrimarySurface, nullptr));

        DDSCAPS backCaps{};
        backCaps.dwCaps = DDSCAPS_BACKBUFFER;
        Check(app.m_pPrimarySurface->GetAttachedSurface(&backCaps, &app.m_pBackBuffer));

        DDSURFACEDESC offscreen{};
        offscreen.dwSize = sizeof offscreen;
        offscreen.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        offscreen.dwHeight = static_cast<DWORD>(app.m_nSceneHeight);
        offscreen.dwWidth = static_cast<DWORD>(app.m_nSceneWidth);
        offscreen.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        Check(app.m_pDirectDraw->CreateSurface(&offscreen, &app.m_pOffscreenSurface, nullptr));

        app.m_bDirectDraw = 1;
    } catch (CUserException* e) {
        e->Delete();
        app.m_bDirectDraw = 0;
        ReleaseDirectDraw();
    }
}

void CFullScreenWnd::ReleaseDirectDraw() {
    CDisplayApp& app = DisplayApp();
    if (app.m_pPrimarySurface != nullptr) {
        app.m_pPrimarySurface->Release();
        app.m_pPrimarySurface = nullptr;
    }
    // Gone with its chain.
    app.m_pBackBuffer = nullptr;
    if (app.m_pOffscreenSurface != nullptr) {
        app.m_pOffscreenSurface->Release();
        app.m_pOffscreenSurface = nullptr;
    }
    if (app.m_pDirectDraw != nullptr) {
        app.m_pDirectDraw->RestoreDisplayMode();
        app.m_pDirectDraw->Release();
        app.m_pDirectDraw = nullptr;
    }
}

}  // namespace wendrel
