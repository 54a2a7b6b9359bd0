#include "tests/support/wayland_filter/registry_filter.h"

#include <cstring>

namespace wendrel::wl_filter {
namespace {

// The wire: each message starts with the object's id and a word holding the
// message's size in bytes (header included) above its opcode; words are in
// the host's order, strings a length (with the NUL) and bytes padded to 4.
constexpr std::size_t kHeader = 8;
constexpr std::uint32_t kDisplay = 1;
constexpr std::uint32_t kGetRegistry = 1;  // wl_display request
constexpr std::uint32_t kDeleteId = 1;     // wl_display event
constexpr std::uint32_t kGlobal = 0;       // wl_registry events
constexpr std::uint32_t kGlobalRemove = 1;
// Far beyond any id a client makes, below the compositor's own range.
constexpr std::uint32_t kNoSuchObject = 0xfeffff00;

std::uint32_t Word(const std::uint8_t* at) {
    std::uint32_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

}  // namespace

template <typename Keep>
void CRegistryFilter::Split(Stream& stream, const std::uint8_t* data, std::size_t size,
                            std::vector<std::uint8_t>& out, Keep keep) {
    if (stream.raw) {
        out.insert(out.end(), data, data + size);
        return;
    }
    std::vector<std::uint8_t>& pending = stream.pending;
    pending.insert(pending.end(), data, data + size);
    std::size_t at = 0;
    while (pending.size() - at >= kHeader) {
        const std::size_t length = Word(&pending[at + 4]) >> 16;
        if (length < kHeader || length % 4 != 0) {
            stream.raw = true;
            out.insert(out.end(), pending.begin() + static_cast<std::ptrdiff_t>(at), pending.end());
            pending.clear();
            return;
        }
        if (pending.size() - at < length)
            break;  // the rest comes with a later read
        if (keep(&pending[at], length))
            out.insert(out.end(), pending.begin() + static_cast<std::ptrdiff_t>(at),
                       pending.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
}

void CRegistryFilter::FromClient(const std::uint8_t* data, std::size_t size,
                                 std::vector<std::uint8_t>& out) {
    Split(m_fromClient, data, size, out, [this](const std::uint8_t* message, std::size_t length) {
        return KeepRequest(message, length);
    });
}

void CRegistryFilter::FromCompositor(const std::uint8_t* data, std::size_t size,
                                     std::vector<std::uint8_t>& out) {
    Split(m_fromCompositor, data, size, out,
          [this](const std::uint8_t* message, std::size_t length) {
              return KeepEvent(message, length);
          });
}

bool CRegistryFilter::KeepRequest(const std::uint8_t* message, std::size_t size) {
    const std::uint32_t object = Word(message);
    const std::uint32_t opcode = Word(message + 4) & 0xffff;
    if (object == kDisplay && opcode == kGetRegistry && size >= kHeader + 4)
        m_registries.insert(Word(message + kHeader));
    return true;
}

bool CRegistryFilter::KeepEvent(const std::uint8_t* message, std::size_t size) {
    const std::uint32_t object = Word(message);
    const std::uint32_t opcode = Word(message + 4) & 0xffff;
    if (object == kDisplay && opcode == kDeleteId && size >= kHeader + 4) {
        m_registries.erase(Word(message + kHeader));
        return true;
    }
    if (m_registries.count(object) == 0)
        return true;
    if (opcode == kGlobalRemove && size >= kHeader + 4)
        return m_hiddenNames.count(Word(message + kHeader)) == 0;
    if (opcode != kGlobal || size < kHeader + 12)
        return true;
    // name, interface, version
    const std::uint32_t name = Word(message + kHeader);
    const std::size_t length = Word(message + kHeader + 4);
    const std::size_t padded = (length + 3) & ~std::size_t{3};
    if (length == 0 || padded > size - kHeader - 12)
        return true;  // not a global we can read: the client judges it
    const char* text = reinterpret_cast<const char*>(message + kHeader + 8);
    const std::string interface(text, strnlen(text, length));
    if (m_hidden.count(interface) == 0)
        return true;
    m_hiddenNames.insert(name);
    m_justHidden.push_back(interface);
    return false;
}

std::vector<std::uint8_t> CRegistryFilter::BadRequest() {
    std::vector<std::uint8_t> message(kHeader);
    const std::uint32_t words[2] = {kNoSuchObject, kHeader << 16};
    std::memcpy(message.data(), words, sizeof words);
    return message;
}

}  // namespace wendrel::wl_filter
