#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace wendrel::wl_filter {

// The Wayland messages of one connection, read from both byte streams as
// they come: whole messages go on, a message cut short by the socket waits
// for the rest. Globals whose interface is hidden are taken out of every
// registry the client made, announced or removed. A stream that stops
// making sense (a size too small to be a message) is passed on untouched
// from then on, for the compositor to judge.
class CRegistryFilter {
  public:
    explicit CRegistryFilter(std::set<std::string> hidden) : m_hidden(std::move(hidden)) {}

    // Bytes from the client: what may go on to the compositor is appended
    // to `out`.
    void FromClient(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);
    // Bytes from the compositor: what may go on to the client.
    void FromCompositor(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);

    // A request the compositor must refuse with a protocol error: one on an
    // object the client never made.
    static std::vector<std::uint8_t> BadRequest();

    std::size_t HiddenCount() const { return m_hiddenNames.size(); }
    // The interfaces hidden since the last call.
    std::vector<std::string> TakeHidden() { return std::exchange(m_justHidden, {}); }

  private:
    struct Stream {
        std::vector<std::uint8_t> pending;  // the start of a message
        bool raw = false;
    };
    template <typename Keep>
    static void Split(Stream& stream, const std::uint8_t* data, std::size_t size,
                      std::vector<std::uint8_t>& out, Keep keep);
    bool KeepRequest(const std::uint8_t* message, std::size_t size);
    bool KeepEvent(const std::uint8_t* message, std::size_t size);

    std::set<std::string> m_hidden;
    std::set<std::uint32_t> m_registries;   // the client's wl_registry objects
    std::set<std::uint32_t> m_hiddenNames;  // the globals it never saw
    std::vector<std::string> m_justHidden;
    Stream m_fromClient;
    Stream m_fromCompositor;
};

}  // namespace wendrel::wl_filter
