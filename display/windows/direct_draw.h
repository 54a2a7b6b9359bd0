#pragma once

#include <ddraw.h>

namespace wendrel {

#if defined(__i386__)
// The shipped 32-bit saver hands the driver DirectDraw 1's 108-byte record.
static_assert(sizeof(DDSURFACEDESC) == 108);
#endif

// How the set-up reaches DirectDrawCreate; tests put fake drivers here.
using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID* lpGUID, LPDIRECTDRAW* lplpDD,
                                            IUnknown* pUnkOuter);
extern DirectDrawCreateFn pfnDirectDrawCreate;

// The system's DirectDrawCreate, from ddraw.dll loaded on first use.
HRESULT WINAPI SystemDirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter);

// The display mode EnumModeCallback picked; all zero when none was.
extern DDSURFACEDESC chosenMode;

// Given to EnumDisplayModes: keeps the first 640 x 480 mode of 24 or 32 bits
// whose pixel format flags are exactly DDPF_RGB, and then stops the listing.
HRESULT WINAPI EnumModeCallback(LPDDSURFACEDESC lpDDSurfaceDesc, LPVOID lpContext);

}  // namespace wendrel
