#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "display/x11/stretch_presenter.h"

namespace wendrel::display {

// The window the saver draws in, served by the stretch presenter: an
// existing X window (the preview child, or a hack's window), or an
// ordinary one of its own. It reacts to no input; its handlers run on the
// thread that made it.
class CSaverWnd {
  public:
    CSaverWnd() = default;
    virtual ~CSaverWnd();
    CSaverWnd(const CSaverWnd&) = delete;
    CSaverWnd& operator=(const CSaverWnd&) = delete;

    // Draws into the existing X window `xid`, at that window's size.
    bool CreateFrom(unsigned long xid, std::string& error);
    // A resizable window of its own.
    bool CreateWindowed(int width, int height, std::string& error);
    // Wraps the existing window anew, at its present size: SDL hears
    // nothing when another program resizes a window that is not its own.
    bool Rewrap(std::string& error);

    // Draws the picture once in each of `areas` (window coordinates), each
    // stretched to its area, rather than once over the whole window: the
    // monitors of a root window that spans several. Empty: the whole window.
    void SetAreas(std::span<const SDL_Rect> areas);

    // True when the event asks the window to close.
    virtual bool OnEvent(const SDL_Event& event);
    // Called after each round of events: true when the window asks to
    // close for a reason that no single event tells.
    virtual bool OnIdle() { return false; }
    void ShowFrame(const FrameToShow& frame);
    // A frame of which nothing is known: shown whole.
    void ShowFrame(const std::uint8_t* frame) { ShowFrame(FrameToShow{frame, nullptr, 0}); }
    // The window lost pixels: the next frame is drawn whole.
    virtual void Invalidate();
    virtual void Destroy();

    SDL_Window* Window() const { return m_pWindow; }
    // The existing window drawn into; 0 for a window of our own.
    unsigned long ForeignWindow() const { return m_nForeignWindow; }

  protected:
    virtual void Present(const FrameToShow& frame);
    virtual void PaintWhite();
    // The renderer was lost: make it anew; the frame on its way is dropped.
    virtual bool RecreateRenderer(std::string& error);

    SDL_Window* m_pWindow = nullptr;
    CStretchPresenter m_stretch;
    // The presenter that serves the window: the stretch one unless a
    // window that derives from this one chose another.
    CSurfacePresenter* m_pPresenter = &m_stretch;
    // With areas, the presenters of the second and later ones (m_stretch
    // serves the first).
    std::vector<std::unique_ptr<CStretchPresenter>> m_areas;

  private:
    unsigned long m_nForeignWindow = 0;
    bool m_bDropFrame = false;
};

// The window of `wendrel window`: an ordinary one for trying the saver out,
// closed by its close button or Esc.
class CTryOutWnd : public CSaverWnd {
  public:
    bool OnEvent(const SDL_Event& event) override;
};

}  // namespace wendrel::display
