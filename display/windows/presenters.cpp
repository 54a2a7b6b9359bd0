#include "presenters.h"

#include "display_app.h"

namespace wendrel {
namespace {

static_assert(sizeof(wendrel::BITMAPINFOHEADER) == sizeof(::BITMAPINFOHEADER));

const BITMAPINFO* FrameInfo(const CLeafScene& scene) {
    return reinterpret_cast<const BITMAPINFO*>(&scene.FrameHeader());
}

}  // namespace

void PresentGdi(CLeafScene& scene) {
    HWND hWnd = DisplayApp().m_hPresentWnd;
    if (hWnd == nullptr)
        return;
    RECT client{};
    if (!GetClientRect(hWnd, &client))
        return;
    HDC hDC = GetDC(hWnd);
    if (hDC == nullptr)
        return;
    const auto& header = scene.FrameHeader();
    StretchDIBits(hDC, 0, 0, client.right - client.left, client.bottom - client.top, 0, 0,
                  header.biWidth, header.biHeight, scene.Frame(), FrameInfo(scene), DIB_RGB_COLORS,
                  SRCCOPY);
    ReleaseDC(hWnd, hDC);
}

void PresentDirectDraw(CLeafScene& scene) {
    CDisplayApp& app = DisplayApp();
    LPDIRECTDRAWSURFACE pPrimary = app.m_pPrimarySurface;
    LPDIRECTDRAWSURFACE pBack = app.m_pBackBuffer;
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

}  // namespace wendrel
