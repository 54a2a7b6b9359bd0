#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bitmap_info_header.h"
#include "leaf.h"

namespace wendrel {

// Everything one picture is made of: the background, the working frame it
// is composed in, and the live leaves, oldest first.
class CLeafScene {
  public:
    CLeafScene() = default;
    ~CLeafScene();
    CLeafScene(const CLeafScene&) = delete;
    CLeafScene& operator=(const CLeafScene&) = delete;

    // Sets up both 640 x 480 blocks and converts the packaged background
    // into one of them. False (with a black background) when the picture
    // is missing or malformed; `error` says why.
    bool LoadBackground(std::string& error);
    bool LoadBackground();

    // Restores the background, then draws and advances every leaf in list
    // order, dropping those whose flight has ended.
    void Compose(std::int32_t windOffset);

    std::size_t LeafCount() const { return leaves.size(); }
    void AppendLeaf(std::unique_ptr<CLeaf> leaf) { leaves.push_back(std::move(leaf)); }
    const CLeaf& LeafAt(std::size_t index) const { return *leaves[index]; }

    const BITMAPINFOHEADER& FrameHeader() const { return frameHeader; }
    const std::uint8_t* Frame() const { return frame.get(); }
    std::uint8_t* Frame() { return frame.get(); }
    const std::uint8_t* Background() const { return background.get(); }
    bool IsLoaded() const { return frame != nullptr; }

  private:
    std::vector<std::unique_ptr<CLeaf>> leaves;
    BITMAPINFOHEADER frameHeader{};
    std::unique_ptr<std::uint8_t[]> background;
    std::unique_ptr<std::uint8_t[]> frame;
};

}  // namespace wendrel
