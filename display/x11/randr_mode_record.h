#pragma once

#include <string>
#include <vector>

struct _XDisplay;

namespace wendrel::display {

// The display's mode as XRandR (1.2 or later) describes it: the screen's
// size and, for each CRTC, its mode, place, rotation and outputs. Recorded
// before the saver switches the mode, so that it can be put back by a
// process that has never seen the switch.
class CDisplayModeRecord {
  public:
    // Records the default screen of `display`. False, with the reason in
    // `error`, when the server has no usable XRandR.
    bool Record(_XDisplay* display, std::string& error);
    // True when the screen is still (or again) as recorded.
    bool Matches(_XDisplay* display) const;
    // Gives the screen its recorded size and every CRTC its recorded
    // configuration, with the server grabbed meanwhile.
    bool Restore(_XDisplay* display, std::string& error) const;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    struct Crtc {
        unsigned long id = 0;
        unsigned long mode = 0;
        int x = 0;
        int y = 0;
        unsigned width = 0;
        unsigned height = 0;
        unsigned short rotation = 0;
        std::vector<unsigned long> outputs;
        bool operator==(const Crtc&) const = default;
    };

  private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nWidthMm = 0;
    int m_nHeightMm = 0;
    std::vector<Crtc> m_crtcs;
};

}  // namespace wendrel::display
