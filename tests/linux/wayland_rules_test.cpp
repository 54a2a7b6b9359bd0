// The Wayland layer's rules that need no compositor: which rectangles a
// buffer and the damage take from the frames' history, the input rule and
// the copy of the frame into an XRGB8888 buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/wayland/frame_history.h"
#include "display/wayland/input_rule.h"
#include "display/wayland/pixel_copy.h"
#include "scene/frame_buffer.h"

namespace wendrel::display::wayland {
namespace {

FrameChanges Changes(std::vector<FrameRect> rects) {
    return FrameChanges{false, std::move(rects)};
}

std::int64_t Area(const std::vector<PixelRect>& rects) {
    std::int64_t area = 0;
    for (const PixelRect& r : rects)
        area += static_cast<std::int64_t>(r.w) * r.h;
    return area;
}

TEST(FrameHistory, GathersWhatChangedSinceAFrameOrAsksForTheWhole) {
    CFrameHistory history;
    std::vector<PixelRect> rects;
    const FrameChanges first{true, {}};
    history.Record(1, &first);
    EXPECT_FALSE(history.ChangedSince(0, rects));  // nothing held: all of it
    EXPECT_TRUE(history.ChangedSince(1, rects));
    EXPECT_TRUE(rects.empty());  // the frame held is the last one

    const FrameChanges a = Changes({{10, 10, 20, 20}});
    const FrameChanges b = Changes({{100, 100, 110, 105}, {-5, 470, 3, 490}});
    history.Record(2, &a);
    history.Record(3, &b);
    ASSERT_TRUE(history.ChangedSince(2, rects));
    EXPECT_EQ(Area(rects), 10 * 5 + 3 * 10);  // clipped to the frame
    ASSERT_TRUE(history.ChangedSince(1, rects));
    EXPECT_EQ(Area(rects), 100 + 50 + 30);
    EXPECT_FALSE(history.ChangedSince(0, rects));

    // A frame that changed everywhere, a gap in the numbers, or a frame
    // older than the history: the whole frame.
    history.Record(4, nullptr);
    EXPECT_FALSE(history.ChangedSince(3, rects));
    EXPECT_TRUE(history.ChangedSince(4, rects));
    history.Record(6, &a);
    EXPECT_FALSE(history.ChangedSince(4, rects));
    for (std::uint64_t n = 7; n < 20; ++n)
        history.Record(n, &a);
    EXPECT_FALSE(history.ChangedSince(6, rects));
    ASSERT_TRUE(history.ChangedSince(15, rects));
    EXPECT_EQ(Area(rects), 100);                    // the same place four times, joined
    EXPECT_FALSE(history.ChangedSince(25, rects));  // a frame never recorded
}

TEST(InputRule, EndsOnPressesAndOnMovesBeyondTheThresholdOnBothAxes) {
    CInputRule rule;
    rule.Reset();
    EXPECT_FALSE(rule.OnPointerAt(1300, 300));  // the first place: the reference
    EXPECT_FALSE(rule.OnPointerAt(1303, 400));
    EXPECT_FALSE(rule.OnPointerAt(1400, 305));
    EXPECT_TRUE(rule.OnPointerAt(1294, 294));
    rule.Reset();
    EXPECT_FALSE(rule.OnPointerAt(-700, -10));  // an output left of and above the first
    EXPECT_TRUE(rule.OnPointerAt(-706, -4));
    EXPECT_TRUE(CInputRule::OnKey(true));
    EXPECT_FALSE(CInputRule::OnKey(false));
    EXPECT_TRUE(CInputRule::OnButton(true));
    EXPECT_FALSE(CInputRule::OnButton(false));
    EXPECT_TRUE(CInputRule::OnScroll());
}

TEST(InputRule, FocusPassingBetweenOurSurfacesIsNotLost) {
    constexpr std::uint64_t settle = CInputRule::kFocusSettleMilliseconds;
    CInputRule rule;
    rule.Reset();
    rule.OnKeyboardEnter();
    rule.OnKeyboardLeave(1000);
    rule.OnKeyboardEnter();  // another of our surfaces
    EXPECT_FALSE(rule.OnIdle(1000 + settle + 1));
    rule.OnKeyboardLeave(2000);  // to another client
    EXPECT_FALSE(rule.OnIdle(2000 + settle - 1));
    EXPECT_TRUE(rule.OnIdle(2000 + settle));
    EXPECT_FALSE(rule.OnIdle(3000 + settle));  // said once
}

TEST(PixelCopy, CopiesTheRectangleUprightAsOpaqueXrgb) {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i * 7 + 3);
    std::vector<std::uint32_t> image(static_cast<std::size_t>(kFrameWidth * kFrameHeight), 0);
    const PixelRect rect{5, 470, 30, 10};
    CopyFrameRect(frame.data(), rect, reinterpret_cast<std::uint8_t*>(image.data()),
                  kFrameWidth * 4);
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            const std::uint32_t got = image[static_cast<std::size_t>(y * kFrameWidth + x)];
            const bool inside =
                x >= rect.x && x < rect.x + rect.w && y >= rect.y && y < rect.y + rect.h;
            if (!inside) {
                ASSERT_EQ(got, 0u) << x << "," << y;
                continue;
            }
            const std::uint8_t* bgr = frame.data() + (kFrameHeight - 1 - y) * kFrameStride + x * 3;
            const std::uint32_t want =
                0xff000000U | std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
            ASSERT_EQ(got, want) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace wendrel::display::wayland
