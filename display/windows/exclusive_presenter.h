#pragma once

#include <ddraw.h>

#include "framework/windows/win32.h"
#include "scene/leaf_scene.h"

namespace wendrel::display {

#if defined(__i386__)
// The shipped 32-bit saver hands the driver DirectDraw 1's 108-byte record.
static_assert(sizeof(DDSURFACEDESC) == 108);
#endif

// How the set-up reaches DirectDrawCreate; a process-wide seam, so that
// tests can put fake drivers here.
using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID* lpGUID, LPDIRECTDRAW* lplpDD,
                                            IUnknown* pUnkOuter);
extern DirectDrawCreateFn pfnDirectDrawCreate;

// The system's DirectDrawCreate, from ddraw.dll loaded on first use.
HRESULT WINAPI SystemDirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter);

// The exclusive full-screen presenter: the display switched to a 640 x 480
// mode of 24 or 32 bits through DirectDraw, each frame copied unscaled into
// the back buffer of a flipping chain and flipped to the front. Set up and
// released on the window thread, used by the animation thread in between.
class CExclusivePresenter {
  public:
    CExclusivePresenter() = default;
    CExclusivePresenter(const CExclusivePresenter&) = delete;
    CExclusivePresenter& operator=(const CExclusivePresenter&) = delete;

    // The set-up for window hWnd: exclusive mode, the first acceptable
    // display mode, the flipping chain and the off-screen surface. A failing
    // step throws the framework's user exception and leaves what it made for
    // Release.
    void Init(HWND hWnd);
    // Releases the surfaces, restores the display mode, releases DirectDraw
    // and then makes sure the saved modes are back (saved_modes.h); safe
    // with nothing or only part set up.
    void Release();

    // Copies the frame unscaled into the back buffer and flips it to the
    // front, again at once while the flip reports that it is still drawing.
    // A lost surface is restored and its frame dropped. Nothing without both
    // surfaces.
    void PresentDirectDraw(const CLeafScene& scene) const;

    // The back buffer belongs to the primary surface's flipping chain and is
    // never released alone.
    LPDIRECTDRAW m_pDirectDraw = nullptr;
    LPDIRECTDRAWSURFACE m_pPrimarySurface = nullptr;
    LPDIRECTDRAWSURFACE m_pBackBuffer = nullptr;
    LPDIRECTDRAWSURFACE m_pOffscreenSurface = nullptr;
    // The display mode EnumModeCallback picked; all zero when none was.
    DDSURFACEDESC chosenMode{};
};

// Given to EnumDisplayModes with the presenter as its context: keeps the
// first mode that IsExclusiveMode (display_mode.h) accepts, plain RGB being
// pixel format flags of exactly DDPF_RGB, in the presenter's chosenMode,
// and then stops the listing.
HRESULT WINAPI EnumModeCallback(LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext);

}  // namespace wendrel::display
