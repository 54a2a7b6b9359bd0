#include "display/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

namespace wendrel::display::wayland {
void CShmBuffer::OnRelease(void* data, wl_buffer* /*buffer*/) {
    static_cast<CShmBuffer*>(data)->m_bBusy = false;
}

CShmBuffer::~CShmBuffer() {
    if (m_pBuffer != nullptr)
        wl_buffer_destroy(m_pBuffer);
    if (m_pPixels != nullptr)
        munmap(m_pPixels, m_nBytes);
}

bool CShmBuffer::Create(wl_shm* shm, int width, int height, std::string& error) {
    static const wl_buffer_listener listener = {.release = &CShmBuffer::OnRelease};
    m_nWidth = width;
    m_nHeight = height;
    m_nBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    const int fd = memfd_create("wendrel-frame", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) {
        error = std::string("cannot make shared memory for a frame: ") + std::strerror(errno);
        return false;
    }
    if (ftruncate(fd, static_cast<off_t>(m_nBytes)) != 0) {
        error = std::string("cannot size shared memory for a frame: ") + std::strerror(errno);
        close(fd);
        return false;
    }
    void* pixels = mmap(nullptr, m_nBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        error = std::string("cannot map shared memory for a frame: ") + std::strerror(errno);
        close(fd);
        return false;
    }
    m_pPixels = static_cast<std::uint8_t*>(pixels);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(m_nBytes));
    m_pBuffer = wl_shm_pool_create_buffer(pool, 0, width, height, Pitch(), WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(m_pBuffer, &listener, this);
    return true;
}

}  // namespace wendrel::display::wayland
