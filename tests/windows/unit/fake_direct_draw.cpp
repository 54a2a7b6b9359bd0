#include "tests/windows/unit/fake_direct_draw.h"

#include <algorithm>
#include <utility>

#include "display/windows/exclusive_presenter.h"
#include "display/windows/saved_modes.h"

namespace wendrel::test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

CFakeDirectDraw* installedDriver = nullptr;
HRESULT installedCreateResult = DD_OK;

HRESULT WINAPI FakeDirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter) {
    installedDriver->m_log.push_back("DirectDrawCreate");
    if (lpGUID != nullptr || pUnkOuter != nullptr)
        installedDriver->m_log.push_back("DirectDrawCreate with arguments");
    if (installedCreateResult != DD_OK) {
        *lplpDD = nullptr;
        return installedCreateResult;
    }
    *lplpDD = installedDriver;
    return DD_OK;
}

bool FakeRestoreSavedModes() {
    installedDriver->m_log.push_back("RestoreSavedModes");
    return false;
}

HRESULT Take(std::deque<HRESULT>& results) {
    if (results.empty())
        return DD_OK;
    const HRESULT result = results.front();
    results.pop_front();
    return result;
}

}  // namespace

CFakeSurface::CFakeSurface(std::string name, CallLog& log) : m_name(std::move(name)), m_log(log) {}

CFakeSurface::~CFakeSurface() {
    if (m_hDC != nullptr) {
        SelectObject(m_hDC, m_hOldBitmap);
        DeleteDC(m_hDC);
        DeleteObject(m_hBitmap);
    }
}

DWORD CFakeSurface::Pixel(int x, int y) const {
    return m_pPixels == nullptr ? 0xDEADu : m_pPixels[y * kWidth + x] & 0xFFFFFFu;
}

int CFakeSurface::Count(const std::string& call) const {
    return static_cast<int>(std::count(m_log.begin(), m_log.end(), m_name + " " + call));
}

ULONG CFakeSurface::AddRef() {
    return static_cast<ULONG>(++m_nRefs);
}

ULONG CFakeSurface::Release() {
    m_log.push_back(m_name + " Release");
    return static_cast<ULONG>(--m_nRefs);
}

HRESULT CFakeSurface::Flip(LPDIRECTDRAWSURFACE pOverride, DWORD dwFlags) {
    m_log.push_back(m_name + " Flip");
    if (pOverride != nullptr || dwFlags != 0)
        m_log.push_back(m_name + " Flip with arguments");
    return Take(m_flipResults);
}

HRESULT CFakeSurface::GetAttachedSurface(LPDDSCAPS lpCaps, LPDIRECTDRAWSURFACE* lplpSurface) {
    m_log.push_back("GetAttachedSurface");
    m_attachCaps = *lpCaps;
    if (m_attachResult != DD_OK) {
        *lplpSurface = nullptr;
        return m_attachResult;
    }
    *lplpSurface = m_pAttached;
    return DD_OK;
}

HRESULT CFakeSurface::GetDC(HDC* lphDC) {
    m_log.push_back(m_name + " GetDC");
    if (m_getDcResult != DD_OK)
        return m_getDcResult;
    if (m_hDC == nullptr) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;  // top-down: row 0 is the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pBits = nullptr;
        m_hBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        m_pPixels = static_cast<DWORD*>(pBits);
        m_hDC = CreateCompatibleDC(nullptr);
        m_hOldBitmap = SelectObject(m_hDC, m_hBitmap);
    }
    *lphDC = m_hDC;
    return DD_OK;
}

HRESULT CFakeSurface::ReleaseDC(HDC hDC) {
    m_log.push_back(m_name + " ReleaseDC");
    m_hReleasedDC = hDC;
    GdiFlush();
    return DD_OK;
}

HRESULT CFakeSurface::Restore() {
    m_log.push_back(m_name + " Restore");
    return Take(m_restoreResults);
}

CFakeDirectDraw::CFakeDirectDraw(CallLog& log)
    : m_primary("primary", log), m_back("back", log), m_offscreen("offscreen", log), m_log(log) {
    m_primary.m_pAttached = &m_back;
}

DDSURFACEDESC CFakeDirectDraw::Mode(DWORD width, DWORD height, DWORD bits, DWORD flags) {
    DDSURFACEDESC mode{};
    mode.dwSize = sizeof mode;
    mode.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    mode.dwWidth = width;
    mode.dwHeight = height;
    mode.lPitch = static_cast<LONG>(width * bits / 8);
    mode.dwRefreshRate = 60 + bits;
    mode.ddpfPixelFormat.dwSize = sizeof mode.ddpfPixelFormat;
    mode.ddpfPixelFormat.dwFlags = flags;
    mode.ddpfPixelFormat.dwRGBBitCount = bits;
    return mode;
}

ULONG CFakeDirectDraw::Release() {
    m_log.push_back("Release ddraw");
    return static_cast<ULONG>(--m_nRefs);
}

HRESULT CFakeDirectDraw::CreateSurface(LPDDSURFACEDESC lpDesc, LPDIRECTDRAWSURFACE* lplpSurface,
                                       IUnknown*) {
    const bool primary = (lpDesc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
    m_log.push_back(primary ? "CreateSurface primary" : "CreateSurface offscreen");
    (primary ? m_primaryDesc : m_offscreenDesc) = *lpDesc;
    const HRESULT result = primary ? m_primaryResult : m_offscreenResult;
    if (result != DD_OK) {
        *lplpSurface = nullptr;
        return result;
    }
    *lplpSurface = primary ? &m_primary : &m_offscreen;
    return DD_OK;
}

HRESULT CFakeDirectDraw::EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC lpFilter, LPVOID lpContext,
                                          LPDDENUMMODESCALLBACK callback) {
    m_log.push_back("EnumDisplayModes");
    // The set-up hands the callback its presenter as the context.
    if (dwFlags != 0 || lpFilter != nullptr || lpContext == nullptr)
        m_log.push_back("EnumDisplayModes with other arguments");
    for (DDSURFACEDESC mode : m_modes) {
        ++m_nModesListed;
        if (callback(&mode, lpContext) == DDENUMRET_CANCEL)
            break;
    }
    return DD_OK;
}

HRESULT CFakeDirectDraw::RestoreDisplayMode() {
    m_log.push_back("RestoreDisplayMode");
    m_bWindowShownAtRestore = m_hCooperativeWnd != nullptr && IsWindowVisible(m_hCooperativeWnd);
    return DD_OK;
}

HRESULT CFakeDirectDraw::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
    m_log.push_back("SetCooperativeLevel");
    m_hCooperativeWnd = hWnd;
    m_dwCooperativeFlags = dwFlags;
    return m_cooperativeResult;
}

HRESULT CFakeDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bits) {
    m_log.push_back("SetDisplayMode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                    std::to_string(bits));
    return m_setModeResult;
}

CFakeDriverScope::CFakeDriverScope(CFakeDirectDraw& driver, HRESULT createResult) {
    installedDriver = &driver;
    installedCreateResult = createResult;
    display::pfnDirectDrawCreate = FakeDirectDrawCreate;
    display::pfnRestoreSavedModes = FakeRestoreSavedModes;
}

CFakeDriverScope::~CFakeDriverScope() {
    display::pfnDirectDrawCreate = display::SystemDirectDrawCreate;
    display::pfnRestoreSavedModes = display::SystemRestoreSavedModes;
    installedDriver = nullptr;
}

}  // namespace wendrel::test
