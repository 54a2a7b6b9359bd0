// The fast leaf drawing against the drawing rule written out plainly: the
// stepped column quotient against the division, the per-row source spans
// against a test of every pixel, and whole drawings against a straight
// per-pixel reference, over many turns, places and clippings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "scene/frame_buffer.h"
#include "scene/leaf.h"
#include "scene/leaf_images.h"
#include "scene/leaf_raster.h"
#include "scene/leaf_rows.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

std::int32_t Scaled(double v) {
    return static_cast<std::int32_t>(v * 1024);
}

LeafTurn TurnOf(std::int32_t spin, std::int32_t tilt) {
    LeafTurn turn{Scaled(std::sin(spin * 0.01)), Scaled(std::cos(spin * 0.01)),
                  Scaled(std::cos(tilt * 0.01))};
    if (turn.tiltCos == 0)
        turn.tiltCos = 1;
    return turn;
}

// The drawing rule, pixel by pixel, exactly as first written.
void ReferenceDraw(const LeafTurn& turn, const std::uint8_t* image,
                   const BITMAPINFOHEADER& frameHeader, std::uint8_t* frame, std::int32_t left,
                   std::int32_t top) {
    const std::int32_t w = 48, h = 48, fw = frameHeader.biWidth, fh = frameHeader.biHeight;
    const std::size_t stride = static_cast<std::size_t>(RowStride24(fw));
    for (std::int32_t i = 0; i < h; ++i) {
        const std::int32_t rho = fh + 1 - top - i;
        if (rho < 0 || rho >= fh)
            continue;
        for (std::int32_t j = 0; j < w; ++j) {
            const std::int32_t kappa = left + j;
            if (kappa < 0 || kappa >= fw)
                continue;
            const std::int32_t dx = j - w / 2, dy = i - h / 2;
            const std::int32_t col8 =
                ((dx * turn.cs + dy * turn.sn) * 8192) / (turn.tiltCos * 1024) + 4 * w;
            const std::int32_t row8 = ((dy * turn.cs - dx * turn.sn) * 8) / 1024 + 4 * h;
            const std::int32_t col = col8 >> 3, row = row8 >> 3;
            if (col < 0 || col >= w - 1 || row < 0 || row >= h - 1)
                continue;
            const std::int32_t fx = col8 - 8 * col, fy = row8 - 8 * row;
            const std::uint8_t* s00 = image + row * kLeafImageStride + 3 * col;
            const std::uint8_t* s01 = s00 + 3;
            const std::uint8_t* s10 = s00 + kLeafImageStride;
            const std::uint8_t* s11 = s10 + 3;
            if (std::max({s00[0], s01[0], s10[0], s11[0]}) >= 127)
                continue;
            std::uint8_t* dst = frame + rho * stride + 3 * kappa;
            for (int k = 0; k < 3; ++k) {
                const std::int32_t a = s00[k] * (7 - fx) + s01[k] * fx;
                const std::int32_t b = s10[k] * (7 - fx) + s11[k] * fx;
                dst[k] = static_cast<std::uint8_t>((a * (7 - fy) + b * fy + 24) / 49);
            }
        }
    }
}

// Every tilt factor a leaf can have (-1024 ... 1024, 0 taken as 1), each
// with column steps from the extremes and the middle of what a spin gives,
// over whole leaf rows: the stepped quotient equals C++'s division.
TEST(LeafRaster, SteppedColumnQuotientEqualsTheDivisionForEveryTilt) {
    const std::int32_t steps[] = {-1024, -1023, -731, -517, -1, 0, 1, 2, 389, 1023, 1024};
    std::mt19937 random(17);
    long compared = 0;
    for (std::int32_t t = -1024; t <= 1024; ++t) {
        const std::int32_t tilt = t == 0 ? 1 : t;
        const std::int32_t sign = tilt < 0 ? -1 : 1;
        for (std::int32_t cs : steps) {
            for (std::int32_t sn : {-1024, -600, 0, 77, 1024}) {
                for (std::int32_t dy = -24; dy < 24; dy += 47 - 24 / 2) {
                    std::int32_t dx = -24;
                    FloorStepper column(8 * sign * (dx * cs + dy * sn), 8 * sign * cs, sign * tilt);
                    for (; dx < 24; ++dx, column.Next(), ++compared)
                        ASSERT_EQ(column.Trunc(), ((dx * cs + dy * sn) * 8192) / (tilt * 1024))
                            << "T " << tilt << " cs " << cs << " sn " << sn << " dx " << dx;
                }
            }
        }
        // And a real turn, over the whole leaf.
        const LeafTurn turn = TurnOf(static_cast<std::int32_t>(random() % 20000) - 10000, 0);
        for (std::int32_t dy = -24; dy < 24; ++dy) {
            std::int32_t dx = -24;
            FloorStepper column(8 * sign * (dx * turn.cs + dy * turn.sn), 8 * sign * turn.cs,
                                sign * tilt);
            for (; dx < 24; ++dx, column.Next(), ++compared)
                ASSERT_EQ(column.Trunc(), ((dx * turn.cs + dy * turn.sn) * 8192) / (tilt * 1024))
                    << "T " << tilt << " cs " << turn.cs << " sn " << turn.sn;
        }
    }
    EXPECT_GT(compared, 2049L * 48 * 48);
}

TEST(LeafRaster, FloorStepperFollowsFloorDivision) {
    std::mt19937 random(5);
    for (int n = 0; n < 20000; ++n) {
        const std::int32_t d = static_cast<std::int32_t>(random() % 2000) + 1;
        const std::int32_t step = static_cast<std::int32_t>(random() % 40001) - 20000;
        const std::int32_t start = static_cast<std::int32_t>(random() % 800001) - 400000;
        const FloorStepper first(start, step, d);
        // Forward, and from the same start backward.
        for (const std::int32_t direction : {1, -1}) {
            FloorStepper stepper = direction > 0 ? first : first.Reversed();
            std::int32_t value = start;
            for (int k = 0; k < 50; ++k, value += direction * step, stepper.Next()) {
                ASSERT_EQ(stepper.Floor(),
                          static_cast<std::int32_t>(std::floor(static_cast<double>(value) / d)))
                    << value << " / " << d;
                ASSERT_EQ(stepper.Trunc(), value / d) << value << " / " << d;
                ASSERT_EQ(stepper.Remainder(), value - stepper.Floor() * d);
            }
        }
    }
}

constexpr LeafQuadBox kWholeImage{0, 46, 0, 46};

// Whether the four samples of leaf pixel (i, j) lie inside the image and
// their quad inside the box.
bool SamplesInside(const LeafTurn& turn, std::int32_t i, std::int32_t j, const LeafQuadBox& box) {
    const std::int32_t dx = j - 24, dy = i - 24;
    const std::int32_t col8 = ((dx * turn.cs + dy * turn.sn) * 8192) / (turn.tiltCos * 1024) + 192;
    const std::int32_t row8 = ((dy * turn.cs - dx * turn.sn) * 8) / 1024 + 192;
    return (col8 >> 3) >= box.colMin && (col8 >> 3) <= box.colMax && (row8 >> 3) >= box.rowMin &&
           (row8 >> 3) <= box.rowMax;
}

void ExpectSpansExact(std::int32_t spin, std::int32_t tilt, const LeafQuadBox& box = kWholeImage) {
    const LeafTurn turn = TurnOf(spin, tilt);
    for (std::int32_t first : {0, 13}) {
        LeafSpan spans[48], plainSpans[48];
        FindSourceSpans(turn, first, 48, box, spans);
        FindSourceSpans(turn, first, 48, box, plainSpans, LeafBlend::kPlain);
        for (std::int32_t i = first; i < 48; ++i) {
            const LeafSpan span = spans[i - first];
            ASSERT_TRUE(plainSpans[i - first].begin == span.begin &&
                        plainSpans[i - first].end == span.end)
                << "spin " << spin << " tilt " << tilt << " row " << i;
            for (std::int32_t j = 0; j < 48; ++j)
                ASSERT_EQ(SamplesInside(turn, i, j, box), j >= span.begin && j < span.end)
                    << "spin " << spin << " tilt " << tilt << " row " << i << " col " << j
                    << " span " << span.begin << ".." << span.end << " box " << box.rowMin << "-"
                    << box.rowMax << " x " << box.colMin << "-" << box.colMax;
        }
    }
}

TEST(LeafRaster, SourceSpansHoldExactlyThePixelsWithSamplesInside) {
    // No spin, no tilt, a quarter turn (cos 0), a sliver (tilt cos 0) and
    // their mirrors, then many random turns.
    for (std::int32_t spin : {0, 157, -157, 314, 471, 628})
        for (std::int32_t tilt : {0, 157, -157, 314, 100, 200})
            ExpectSpansExact(spin, tilt);
    std::mt19937 random(8);
    for (int n = 0; n < 1500; ++n)
        ExpectSpansExact(static_cast<std::int32_t>(random() % 40000) - 20000,
                         static_cast<std::int32_t>(random() % 40000) - 20000);
    // Boxes of quads smaller than the image, down to a single quad at a
    // corner, as the images' own boxes are.
    for (const LeafQuadBox box : {LeafQuadBox{0, 0, 0, 0}, LeafQuadBox{46, 46, 46, 46},
                                  LeafQuadBox{8, 44, 7, 38}, LeafQuadBox{0, 46, 23, 23}})
        for (std::int32_t spin : {0, 157, -157, 314, 471})
            for (std::int32_t tilt : {0, 157, 100, -200})
                ExpectSpansExact(spin, tilt, box);
    for (int n = 0; n < 1500; ++n) {
        const std::int32_t r0 = static_cast<std::int32_t>(random() % 47);
        const std::int32_t c0 = static_cast<std::int32_t>(random() % 47);
        const LeafQuadBox box{r0, r0 + static_cast<std::int32_t>(random() % (47 - r0)), c0,
                              c0 + static_cast<std::int32_t>(random() % (47 - c0))};
        ExpectSpansExact(static_cast<std::int32_t>(random() % 40000) - 20000,
                         static_cast<std::int32_t>(random() % 40000) - 20000, box);
    }
}

// The images' own boxes also cut the corners: their spans lie within the
// box's exact ones and still hold every pixel whose quad is drawn.
TEST(LeafRaster, SourceSpansOfTheImagesHoldEveryDrawnPixel) {
    testing::FreshSaver saver;
    AcquireLeafImages();
    std::mt19937 random(12);
    long cut = 0, kept = 0;
    for (int n = 0; n < 4000; ++n) {
        const LeafQuads& quads = LeafQuadTable(LeafImageSlot(n % 8));
        const LeafQuadBox corners = quads.box;
        const LeafQuadBox square{corners.rowMin, corners.rowMax, corners.colMin, corners.colMax};
        const LeafTurn turn = n < 8 ? TurnOf(157 * n, 0)
                                    : TurnOf(static_cast<std::int32_t>(random() % 40000) - 20000,
                                             static_cast<std::int32_t>(random() % 40000) - 20000);
        for (const LeafBlend blend : {LeafBlend::kFastest, LeafBlend::kPlain}) {
            LeafSpan spans[48], squareSpans[48];
            FindSourceSpans(turn, 0, 48, corners, spans, blend);
            FindSourceSpans(turn, 0, 48, square, squareSpans, blend);
            for (std::int32_t i = 0; i < 48; ++i) {
                const LeafSpan span = spans[i], outer = squareSpans[i];
                ASSERT_TRUE(span.Empty() || (span.begin >= outer.begin && span.end <= outer.end))
                    << "row " << i << " spin/tilt " << n;
                for (std::int32_t j = outer.begin; j < outer.end; ++j) {
                    const std::int32_t dx = j - 24, dy = i - 24;
                    const std::int32_t col8 =
                        ((dx * turn.cs + dy * turn.sn) * 8192) / (turn.tiltCos * 1024) + 192;
                    const std::int32_t row8 = ((dy * turn.cs - dx * turn.sn) * 8) / 1024 + 192;
                    const bool inSpan = j >= span.begin && j < span.end;
                    if (quads.Drawable((row8 >> 3) * 48 + (col8 >> 3))) {
                        ASSERT_TRUE(inSpan) << "row " << i << " col " << j << " case " << n;
                    }
                    (inSpan ? kept : cut) += 1;
                }
            }
        }
    }
    // The corners cut are a good share of the box.
    EXPECT_GT(cut * 5, kept) << cut << " of " << cut + kept;
    ReleaseLeafImages();
}

struct Canvas {
    Canvas(std::int32_t width, std::int32_t height, std::uint32_t seed)
        : header(MakeHeader24(width, height)), pixels(header.biSizeImage) {
        for (auto& p : pixels) {
            seed = seed * 214013u + 2531011u;
            p = static_cast<std::uint8_t>(seed >> 16);
        }
    }
    BITMAPINFOHEADER header;
    std::vector<std::uint8_t> pixels;
};

constexpr LeafBlend kBlends[] = {LeafBlend::kSsse3, LeafBlend::kSse2, LeafBlend::kPlain};
constexpr const char* kBlendNames[] = {"ssse3", "sse2", "plain"};

void ExpectSameDrawing(int slot, std::int32_t spin, std::int32_t tilt, std::int32_t left,
                       std::int32_t top, std::int32_t width, std::int32_t height) {
    const std::uint8_t* image = LeafImageSlot(slot);
    const LeafTurn turn = TurnOf(spin, tilt);
    const Canvas before(width, height, static_cast<std::uint32_t>(spin * 31 + tilt));
    Canvas reference = before;
    ReferenceDraw(turn, image, reference.header, reference.pixels.data(), left, top);
    FrameRect written;
    for (std::size_t b = 0; b < std::size(kBlends); ++b) {
        Canvas drawn = before;
        const FrameRect rect = DrawTurnedLeaf(turn, LeafQuadTable(image), drawn.header,
                                              drawn.pixels.data(), left, top, kBlends[b]);
        ASSERT_TRUE(drawn.pixels == reference.pixels)
            << kBlendNames[b] << ": slot " << slot << " spin " << spin << " tilt " << tilt << " at "
            << left << "," << top << " in " << width << "x" << height;
        if (b == 0)
            written = rect;
        ASSERT_EQ(rect, written) << kBlendNames[b];
    }
    // Every changed pixel lies in the rectangle reported, which lies in the frame.
    if (!written.Empty()) {
        ASSERT_TRUE(written.left >= 0 && written.top >= 0 && written.right <= width &&
                    written.bottom <= height);
    }
    const std::size_t stride = static_cast<std::size_t>(RowStride24(width));
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t at = (height - 1 - y) * stride + 3 * x;
            if (std::memcmp(reference.pixels.data() + at, before.pixels.data() + at, 3) != 0) {
                ASSERT_TRUE(x >= written.left && x < written.right && y >= written.top &&
                            y < written.bottom)
                    << x << "," << y;
            }
        }
    }
}

TEST(LeafRaster, DrawingEqualsTheStraightRuleWhateverTheTurnPlaceAndClip) {
    testing::FreshSaver saver;
    AcquireLeafImages();
    std::mt19937 random(21);
    const auto pick = [&](std::int32_t lo, std::int32_t hi) {
        return lo + static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(hi - lo + 1));
    };
    // A small frame, so that leaves are clipped on every side and corner.
    for (int n = 0; n < 3000; ++n)
        ExpectSameDrawing(n % 8, pick(-20000, 20000), pick(-20000, 20000), pick(-60, 110),
                          pick(-60, 90), 101, 71);
    // The real frame, at its edges and inside.
    for (int n = 0; n < 40; ++n)
        ExpectSameDrawing(n % 8, pick(-5000, 5000), pick(-5000, 5000), pick(-50, 640),
                          pick(-50, 482), 640, 480);
    // Slivers and quarter turns, where the quotients are at their extremes.
    for (std::int32_t tilt : {157, -157, 471, 156, 158})
        for (std::int32_t spin : {0, 157, 314, -157, 1000})
            ExpectSameDrawing(2, spin, tilt, 30, 20, 101, 71);
    // Over the frame's last bytes (its top right corner), where four pixels
    // cannot be written as one block, in frames with and without row padding.
    for (std::int32_t spin = 0; spin < 628; spin += 37)
        for (const std::int32_t width : {101, 100, 640}) {
            ExpectSameDrawing(spin % 8, spin, spin / 3, width - 30, -6, width, 71);
            ExpectSameDrawing(spin % 8, spin, -spin, width - 44, -20, width, 71);
        }
    ReleaseLeafImages();
}

TEST(LeafRaster, BlendsAnyImageAsTheStraightRule) {
    // Made-up images, with the brightest green and red (the largest sums
    // the blend divides), scattered key colour and a lone drawable quad,
    // drawn one and four pixels at a time against the rule.
#if defined(__i386__) || defined(__x86_64__)
    EXPECT_TRUE(HaveSse2LeafRows()) << "x86 builds blend with SSE2";
#endif
    if (!HaveSsse3LeafRows())
        std::cerr << "note: no SSSE3 here, its rows are drawn with SSE2\n";
    std::mt19937 random(3);
    std::vector<std::uint8_t> image(kLeafImageBytes);
    auto quads = std::make_unique<LeafQuads>();
    for (int n = 0; n < 400; ++n) {
        for (std::size_t i = 0; i < image.size(); i += 3) {
            const bool key = n % 4 == 1 ? i != 20 * kLeafImageStride + 60 : random() % 9 == 0;
            image[i] = key ? 127 : static_cast<std::uint8_t>(random() % 127);
            image[i + 1] = n % 4 == 0 ? 255 : static_cast<std::uint8_t>(random());
            image[i + 2] = n % 4 == 0 ? 255 : static_cast<std::uint8_t>(random());
        }
        if (n % 4 == 1)  // a quad's four samples
            for (std::size_t at : {0, 3, kLeafImageStride, kLeafImageStride + 3})
                image[20 * kLeafImageStride + 60 + at] = 0;
        BuildLeafQuads(image.data(), *quads);
        const LeafTurn turn = TurnOf(static_cast<std::int32_t>(random() % 20000) - 10000,
                                     static_cast<std::int32_t>(random() % 20000) - 10000);
        const std::int32_t left = static_cast<std::int32_t>(random() % 80) - 30;
        const std::int32_t top = static_cast<std::int32_t>(random() % 60) - 20;
        const Canvas before(70, 50, static_cast<std::uint32_t>(n));
        Canvas reference = before;
        ReferenceDraw(turn, image.data(), reference.header, reference.pixels.data(), left, top);
        for (std::size_t b = 0; b < std::size(kBlends); ++b) {
            Canvas drawn = before;
            DrawTurnedLeaf(turn, *quads, drawn.header, drawn.pixels.data(), left, top, kBlends[b]);
            ASSERT_TRUE(drawn.pixels == reference.pixels) << kBlendNames[b] << ": image " << n;
        }
    }
}

// Leaf pixels have blue below 127; the rest is key colour.
bool IsKey(const std::uint8_t* pixel) {
    return pixel[0] >= 127;
}

const std::uint8_t* Pixel(const std::uint8_t* image, std::int32_t row, std::int32_t column) {
    return image + row * kLeafImageStride + 3 * column;
}

// The records against the image they were built from, read from the
// image's side: each pixel stands in the (up to) four quads around it, in
// the place its corner gives; a quad is drawable when none of its samples
// is key colour; the box and the diagonal ranges hold every drawable quad,
// and each of their bounds is met by one.
void ExpectQuadsOf(const std::uint8_t* image, const LeafQuads& quads) {
    constexpr std::int32_t kQuads = kLeafImageSize - 1;
    // A pixel is the lower-left, lower-right, upper-left and upper-right
    // sample of the quads this far down and left of it.
    constexpr std::int32_t kCorners[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (std::int32_t r = 0; r < kLeafImageSize; ++r)
        for (std::int32_t c = 0; c < kLeafImageSize; ++c)
            for (int corner = 0; corner < 4; ++corner) {
                const std::int32_t quadRow = r - kCorners[corner][0];
                const std::int32_t quadCol = c - kCorners[corner][1];
                if (quadRow < 0 || quadRow >= kQuads || quadCol < 0 || quadCol >= kQuads)
                    continue;
                const std::uint8_t* record = quads.samples[quadRow * kLeafImageSize + quadCol];
                for (int channel = 0; channel < 3; ++channel)
                    ASSERT_EQ(record[4 * channel + corner], Pixel(image, r, c)[channel])
                        << "pixel " << r << " " << c << " channel " << channel << " in quad "
                        << quadRow << " " << quadCol;
            }

    const LeafQuadBox& box = quads.box;
    bool met[8] = {};
    int drawable = 0;
    for (std::int32_t r = 0; r < kQuads; ++r)
        for (std::int32_t c = 0; c < kQuads; ++c) {
            const std::uint8_t* record = quads.samples[r * kLeafImageSize + c];
            const bool leaf = !IsKey(Pixel(image, r, c)) && !IsKey(Pixel(image, r, c + 1)) &&
                              !IsKey(Pixel(image, r + 1, c)) && !IsKey(Pixel(image, r + 1, c + 1));
            ASSERT_EQ(quads.Drawable(r * kLeafImageSize + c), leaf) << "quad " << r << " " << c;
            const std::uint8_t flag = leaf ? LeafQuads::kDrawnFlag : 0;
            ASSERT_EQ(record[LeafQuads::kFlagByte], flag) << "quad " << r << " " << c;
            for (int pad = 12; pad < LeafQuads::kFlagByte; ++pad)
                ASSERT_EQ(record[pad], 0) << "quad " << r << " " << c << " byte " << pad;
            if (!leaf)
                continue;
            ++drawable;
            const std::int32_t value[8] = {r, r, c, c, r + c, r + c, r - c, r - c};
            const std::int32_t bound[8] = {box.rowMin,        box.rowMax,       box.colMin,
                                           box.colMax,        box.sumMin,       box.sumMax,
                                           box.differenceMin, box.differenceMax};
            for (int b = 0; b < 8; ++b) {
                ASSERT_TRUE(b % 2 == 0 ? value[b] >= bound[b] : value[b] <= bound[b])
                    << "quad " << r << " " << c << " outside bound " << b;
                met[b] = met[b] || value[b] == bound[b];
            }
        }
    if (drawable == 0) {
        EXPECT_TRUE(box.Empty());
        return;
    }
    for (int b = 0; b < 8; ++b)
        EXPECT_TRUE(met[b]) << "bound " << b << " is not tight";
}

TEST(LeafRaster, QuadTablesOfTheLeafImagesFollowTheirPixels) {
    testing::FreshSaver saver;
    AcquireLeafImages();
    for (int slot = 0; slot < 8; ++slot) {
        SCOPED_TRACE(slot);
        const std::uint8_t* image = LeafImageSlot(slot);
        const LeafQuads& quads = LeafQuadTable(image);
        ExpectQuadsOf(image, quads);
        EXPECT_FALSE(quads.box.Empty());
    }
    ReleaseLeafImages();
}

TEST(LeafRaster, QuadTablesOfMadeUpImagesFollowTheirPixels) {
    // Scattered key colour with blues on both sides of the key's edge, a
    // lone leaf quad, a lone leaf pixel (no quad) and no leaf at all.
    enum Kind { kScattered, kLoneQuad, kLonePixel, kAllKey };
    std::mt19937 random(5);
    std::vector<std::uint8_t> image(kLeafImageBytes);
    auto quads = std::make_unique<LeafQuads>();
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE(n);
        const Kind kind = n < 4 ? static_cast<Kind>(n) : kScattered;
        for (std::size_t i = 0; i < image.size(); i += 3) {
            const std::uint8_t edge = static_cast<std::uint8_t>(125 + random() % 4);
            const auto leaf = static_cast<std::uint8_t>(random() % 127);
            image[i] = kind == kScattered ? (random() % 2 ? edge : leaf) : 200;
            image[i + 1] = static_cast<std::uint8_t>(random());
            image[i + 2] = static_cast<std::uint8_t>(random());
        }
        if (kind == kLoneQuad)
            for (std::int32_t at : {0, 3, kLeafImageStride, kLeafImageStride + 3})
                image[static_cast<std::size_t>(30 * kLeafImageStride + 3 * 17 + at)] = 40;
        if (kind == kLonePixel)
            image[static_cast<std::size_t>(10 * kLeafImageStride + 3 * 40)] = 40;
        BuildLeafQuads(image.data(), *quads);
        ExpectQuadsOf(image.data(), *quads);
        // Where no four leaf pixels make a quad, the box is empty.
        EXPECT_EQ(quads->box.Empty(), kind == kLonePixel || kind == kAllKey);
    }
}

}  // namespace
}  // namespace wendrel
