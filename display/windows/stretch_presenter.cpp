#include "display/windows/stretch_presenter.h"

#include "display/windows/frame_info.h"

namespace wendrel::display {

void CStretchPresenter::PresentGdi(const CLeafScene& scene) const {
    StretchOnto(m_hPresentWnd, scene);
    for (HWND hCover : m_coverWnds)
        StretchOnto(hCover, scene);
}

void CStretchPresenter::StretchOnto(HWND hWnd, const CLeafScene& scene) {
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

}  // namespace wendrel::display
