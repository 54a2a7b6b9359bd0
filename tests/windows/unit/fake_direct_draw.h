#pragma once

#include <ddraw.h>

#include <deque>
#include <string>
#include <vector>

namespace wendrel::test {

// What the fake driver did, in order: "DirectDrawCreate",
// "SetCooperativeLevel", "EnumDisplayModes", "SetDisplayMode 640x480x32",
// "CreateSurface primary", "GetAttachedSurface", "CreateSurface offscreen",
// "<surface> Restore|GetDC|ReleaseDC|Flip|Release", "RestoreDisplayMode",
// "Release ddraw", and the presenter's own check "RestoreSavedModes".
using CallLog = std::vector<std::string>;

#define WENDREL_NOT_USED(name, ...)                        \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { \
        return E_NOTIMPL;                                  \
    }

// A surface whose answers the test scripts. GetDC hands out a memory DC
// with a 640 x 480 top-down 32-bit DIB section, whose pixels Pixel reads.
class CFakeSurface : public IDirectDrawSurface {
  public:
    CFakeSurface(std::string name, CallLog& log);
    ~CFakeSurface();
    CFakeSurface(const CFakeSurface&) = delete;
    CFakeSurface& operator=(const CFakeSurface&) = delete;

    // 0x00RRGGBB at (x, y) from the top left.
    DWORD Pixel(int x, int y) const;
    int Count(const std::string& call) const;

    std::deque<HRESULT> m_flipResults;     // taken one per Flip; DD_OK when empty
    std::deque<HRESULT> m_restoreResults;  // taken one per Restore; DD_OK when empty
    HRESULT m_getDcResult = DD_OK;
    CFakeSurface* m_pAttached = nullptr;  // handed out by GetAttachedSurface
    HRESULT m_attachResult = DD_OK;
    DDSCAPS m_attachCaps{};
    HDC m_hReleasedDC = nullptr;
    int m_nRefs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS, LPDIRECTDRAWSURFACE*) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC*) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;

    WENDREL_NOT_USED(AddAttachedSurface, LPDIRECTDRAWSURFACE)
    WENDREL_NOT_USED(AddOverlayDirtyRect, LPRECT)
    WENDREL_NOT_USED(Blt, LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX)
    WENDREL_NOT_USED(BltBatch, LPDDBLTBATCH, DWORD, DWORD)
    WENDREL_NOT_USED(BltFast, DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD)
    WENDREL_NOT_USED(DeleteAttachedSurface, DWORD, LPDIRECTDRAWSURFACE)
    WENDREL_NOT_USED(EnumAttachedSurfaces, LPVOID, LPDDENUMSURFACESCALLBACK)
    WENDREL_NOT_USED(EnumOverlayZOrders, DWORD, LPVOID, LPDDENUMSURFACESCALLBACK)
    WENDREL_NOT_USED(GetBltStatus, DWORD)
    WENDREL_NOT_USED(GetCaps, LPDDSCAPS)
    WENDREL_NOT_USED(GetClipper, LPDIRECTDRAWCLIPPER*)
    WENDREL_NOT_USED(GetColorKey, DWORD, LPDDCOLORKEY)
    WENDREL_NOT_USED(GetFlipStatus, DWORD)
    WENDREL_NOT_USED(GetOverlayPosition, LPLONG, LPLONG)
    WENDREL_NOT_USED(GetPalette, LPDIRECTDRAWPALETTE*)
    WENDREL_NOT_USED(GetPixelFormat, LPDDPIXELFORMAT)
    WENDREL_NOT_USED(GetSurfaceDesc, LPDDSURFACEDESC)
    WENDREL_NOT_USED(Initialize, LPDIRECTDRAW, LPDDSURFACEDESC)
    WENDREL_NOT_USED(IsLost)
    WENDREL_NOT_USED(Lock, LPRECT, LPDDSURFACEDESC, DWORD, HANDLE)
    WENDREL_NOT_USED(SetClipper, LPDIRECTDRAWCLIPPER)
    WENDREL_NOT_USED(SetColorKey, DWORD, LPDDCOLORKEY)
    WENDREL_NOT_USED(SetOverlayPosition, LONG, LONG)
    WENDREL_NOT_USED(SetPalette, LPDIRECTDRAWPALETTE)
    WENDREL_NOT_USED(Unlock, LPVOID)
    WENDREL_NOT_USED(UpdateOverlay, LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDOVERLAYFX)
    WENDREL_NOT_USED(UpdateOverlayDisplay, DWORD)
    WENDREL_NOT_USED(UpdateOverlayZOrder, DWORD, LPDIRECTDRAWSURFACE)

  private:
    std::string m_name;
    CallLog& m_log;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    DWORD* m_pPixels = nullptr;
};

// A driver whose modes and answers the test scripts. Its surfaces are the
// members below; nothing is freed on Release, which is only counted.
class CFakeDirectDraw : public IDirectDraw {
  public:
    explicit CFakeDirectDraw(CallLog& log);

    static DDSURFACEDESC Mode(DWORD width, DWORD height, DWORD bits, DWORD flags = DDPF_RGB);

    std::vector<DDSURFACEDESC> m_modes;
    int m_nModesListed = 0;
    HRESULT m_cooperativeResult = DD_OK;
    HRESULT m_setModeResult = DD_OK;
    HRESULT m_primaryResult = DD_OK;
    HRESULT m_offscreenResult = DD_OK;
    HWND m_hCooperativeWnd = nullptr;
    DWORD m_dwCooperativeFlags = 0;
    // Whether the cooperative window was visible at the last RestoreDisplayMode.
    bool m_bWindowShownAtRestore = false;
    DDSURFACEDESC m_primaryDesc{};
    DDSURFACEDESC m_offscreenDesc{};
    int m_nRefs = 1;

    CFakeSurface m_primary;
    CFakeSurface m_back;
    CFakeSurface m_offscreen;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*,
                                            IUnknown*) override;
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD, LPDDSURFACEDESC, LPVOID,
                                               LPDDENUMMODESCALLBACK) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD, DWORD, DWORD) override;

    WENDREL_NOT_USED(Compact)
    WENDREL_NOT_USED(CreateClipper, DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*)
    WENDREL_NOT_USED(CreatePalette, DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*)
    WENDREL_NOT_USED(DuplicateSurface, LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*)
    WENDREL_NOT_USED(EnumSurfaces, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK)
    WENDREL_NOT_USED(FlipToGDISurface)
    WENDREL_NOT_USED(GetCaps, LPDDCAPS, LPDDCAPS)
    WENDREL_NOT_USED(GetDisplayMode, LPDDSURFACEDESC)
    WENDREL_NOT_USED(GetFourCCCodes, LPDWORD, LPDWORD)
    WENDREL_NOT_USED(GetGDISurface, LPDIRECTDRAWSURFACE*)
    WENDREL_NOT_USED(GetMonitorFrequency, LPDWORD)
    WENDREL_NOT_USED(GetScanLine, LPDWORD)
    WENDREL_NOT_USED(GetVerticalBlankStatus, WINBOOL*)
    WENDREL_NOT_USED(Initialize, GUID*)
    WENDREL_NOT_USED(WaitForVerticalBlank, DWORD, HANDLE)

    CallLog& m_log;
};

#undef WENDREL_NOT_USED

// Installs `driver` as what DirectDrawCreate gives (answering
// `createResult`), and a check of the saved modes that only logs, for the
// life of this object.
class CFakeDriverScope {
  public:
    explicit CFakeDriverScope(CFakeDirectDraw& driver, HRESULT createResult = DD_OK);
    ~CFakeDriverScope();
    CFakeDriverScope(const CFakeDriverScope&) = delete;
    CFakeDriverScope& operator=(const CFakeDriverScope&) = delete;
};

}  // namespace wendrel::test
