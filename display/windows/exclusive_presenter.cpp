#include "display/windows/exclusive_presenter.h"

#include <cstring>

#include "display/windows/frame_info.h"
#include "display/windows/saved_modes.h"
#include "framework/windows/user_exception.h"
#include "saver/display_mode.h"
#include "scene/saver_core.h"

namespace wendrel::display {

DirectDrawCreateFn pfnDirectDrawCreate = SystemDirectDrawCreate;

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

HRESULT WINAPI EnumModeCallback(LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext) {
    auto* pPresenter = static_cast<CExclusivePresenter*>(lpContext);
    if (pPresenter == nullptr)
        return DDENUMRET_CANCEL;  // nowhere to keep a choice
    DDSURFACEDESC& chosenMode = pPresenter->chosenMode;
    std::memset(&chosenMode, 0, sizeof chosenMode);
    const DDPIXELFORMAT& format = lpDDSurfaceDesc->ddpfPixelFormat;
    const DisplayModeInfo mode{static_cast<std::int32_t>(lpDDSurfaceDesc->dwWidth),
                               static_cast<std::int32_t>(lpDDSurfaceDesc->dwHeight),
                               static_cast<std::int32_t>(format.dwRGBBitCount),
                               format.dwFlags == DDPF_RGB};
    if (IsExclusiveMode(mode)) {
        std::memcpy(&chosenMode, lpDDSurfaceDesc, sizeof chosenMode);
        return DDENUMRET_CANCEL;
    }
    return DDENUMRET_OK;
}

void CExclusivePresenter::Init(HWND hWnd) {
    Check(pfnDirectDrawCreate(nullptr, &m_pDirectDraw, nullptr));
    Check(m_pDirectDraw->SetCooperativeLevel(hWnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    // A driver that lists no mode at all must not leave an earlier choice
    // behind.
    std::memset(&chosenMode, 0, sizeof chosenMode);
    m_pDirectDraw->EnumDisplayModes(0, nullptr, this, EnumModeCallback);
    if (chosenMode.dwSize == 0)
        AfxThrowUserException();
    Check(m_pDirectDraw->SetDisplayMode(chosenMode.dwWidth, chosenMode.dwHeight,
                                        chosenMode.ddpfPixelFormat.dwRGBBitCount));

    DDSURFACEDESC primary{};
    primary.dwSize = sizeof primary;
    primary.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    primary.dwBackBufferCount = 1;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    Check(m_pDirectDraw->CreateSurface(&primary, &m_pPrimarySurface, nullptr));

    DDSCAPS backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    Check(m_pPrimarySurface->GetAttachedSurface(&backCaps, &m_pBackBuffer));

    const CSaverCore& core = SaverCore();
    DDSURFACEDESC offscreen{};
    offscreen.dwSize = sizeof offscreen;
    offscreen.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    offscreen.dwHeight = static_cast<DWORD>(core.m_nSceneHeight);
    offscreen.dwWidth = static_cast<DWORD>(core.m_nSceneWidth);
    offscreen.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    Check(m_pDirectDraw->CreateSurface(&offscreen, &m_pOffscreenSurface, nullptr));
}

void CExclusivePresenter::Release() {
    if (m_pPrimarySurface != nullptr) {
        m_pPrimarySurface->Release();
        m_pPrimarySurface = nullptr;
    }
    // Gone with its chain.
    m_pBackBuffer = nullptr;
    if (m_pOffscreenSurface != nullptr) {
        m_pOffscreenSurface->Release();
        m_pOffscreenSurface = nullptr;
    }
    if (m_pDirectDraw != nullptr) {
        m_pDirectDraw->RestoreDisplayMode();
        m_pDirectDraw->Release();
        m_pDirectDraw = nullptr;
        // Checked with DirectDraw gone, when nothing of it can switch again.
        pfnRestoreSavedModes();
    }
}

void CExclusivePresenter::PresentDirectDraw(const CLeafScene& scene) const {
    LPDIRECTDRAWSURFACE pPrimary = m_pPrimarySurface;
    LPDIRECTDRAWSURFACE pBack = m_pBackBuffer;
    if (pBack == nullptr || pPrimary == nullptr)
        return;
    pBack->Restore();
    HDC hDC = nullptr;
    if (pBack->GetDC(&hDC) == DD_OK && hDC != nullptr) {
        const auto& header = scene.FrameHeader();
        SetDIBitsToDevice(hDC, 0, 0, static_cast<DWORD>(header.biWidth),
                          static_cast<DWORD>(header.biHeight), 0, 0, 0,
                          static_cast<UINT>(header.biHeight), scene.Frame(), FrameInfo(scene),
                          DIB_RGB_COLORS);
        pBack->ReleaseDC(hDC);
    }
    HRESULT result = pPrimary->Flip(nullptr, 0);
    while (result == DDERR_WASSTILLDRAWING)
        result = pPrimary->Flip(nullptr, 0);
    if (result == DDERR_SURFACELOST && pPrimary->Restore() == DD_OK)
        pBack->Restore();
}

}  // namespace wendrel::display
