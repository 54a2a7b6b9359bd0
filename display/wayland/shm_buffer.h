#pragma once

#include <cstdint>
#include <string>

struct wl_buffer;
struct wl_shm;

namespace wendrel::display::wayland {

// One XRGB8888 image in shared memory that the compositor reads from. It is
// written only while the compositor does not hold it: from its attach until
// the compositor's release it is busy.
class CShmBuffer {
  public:
    CShmBuffer() = default;
    ~CShmBuffer();
    CShmBuffer(const CShmBuffer&) = delete;
    CShmBuffer& operator=(const CShmBuffer&) = delete;

    bool Create(wl_shm* shm, int width, int height, std::string& error);

    wl_buffer* Buffer() const { return m_pBuffer; }
    std::uint8_t* Pixels() const { return m_pPixels; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int Pitch() const { return m_nWidth * 4; }

    bool Busy() const { return m_bBusy; }
    void MarkBusy() { m_bBusy = true; }
    // The compose number of the frame it holds; 0 when it holds none.
    std::uint64_t m_nHeld = 0;

  private:
    static void OnRelease(void* data, wl_buffer* buffer);

    wl_buffer* m_pBuffer = nullptr;
    std::uint8_t* m_pPixels = nullptr;
    std::size_t m_nBytes = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    bool m_bBusy = false;
};

}  // namespace wendrel::display::wayland
