#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace wendrel::embedded {

struct EmbeddedFile {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

extern const EmbeddedFile kFiles[];
extern const std::size_t kFileCount;

// The compiled-in copy of res/pictures/<name>, or an empty span.
std::span<const std::uint8_t> FindFile(std::string_view name);

}  // namespace wendrel::embedded
