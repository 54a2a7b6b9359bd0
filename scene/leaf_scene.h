#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/bitmap_info_header.h"
#include "scene/frame_changes.h"
#include "scene/leaf.h"

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
    // order, dropping those whose flight has ended. Only the places where
    // leaves were drawn last time are restored; the whole background is
    // copied when the frame is new or was written from outside.
    void Compose(std::int32_t windOffset);

    // What the last Compose changed against the frame before it, for
    // presenters that send only what changed. ComposeCount tells them
    // whether they saw every frame: if one was missed, treat the whole
    // frame as changed.
    const FrameChanges& LastChanges() const { return changes; }
    std::uint64_t ComposeCount() const { return composeCount; }

    std::size_t LeafCount() const { return leaves.size(); }
    void AppendLeaf(std::unique_ptr<CLeaf> leaf) { leaves.push_back(std::move(leaf)); }
    const CLeaf& LeafAt(std::size_t index) const { return *leaves[index]; }

    const BITMAPINFOHEADER& FrameHeader() const { return frameHeader; }
    const std::uint8_t* Frame() const { return frame.get(); }
    // For those who paint the frame themselves: the next Compose starts
    // again from a full copy of the background.
    std::uint8_t* MutableFrame() {
        frameStale = true;
        return frame.get();
    }
    const std::uint8_t* Background() const { return background.get(); }
    bool IsLoaded() const { return frame != nullptr; }

  private:
    void RestoreBackground(const FrameRect& r);

    std::vector<std::unique_ptr<CLeaf>> leaves;
    BITMAPINFOHEADER frameHeader{};
    std::unique_ptr<std::uint8_t[]> background;
    std::unique_ptr<std::uint8_t[]> frame;
    // The frame is not last Compose's result plus nothing: restore it whole.
    bool frameStale = true;
    std::vector<FrameRect> drawnLastTime;  // where last Compose drew leaves
    std::vector<FrameRect> drawnNow;
    FrameChanges changes;
    std::uint64_t composeCount = 0;
};

}  // namespace wendrel
