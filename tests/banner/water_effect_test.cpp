#include "banner/water_effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>
#include <set>
#include <vector>

namespace {

// Opens the fields and the internal steps of the effect to the tests.
class WaterProbe : public CWaterEffect {
public:
    using CWaterEffect::Propagate;
    using CWaterEffect::RenderShaded;

    int32_t& A(int x, int y) { return m_pFieldA[static_cast<size_t>(y * m_nWidth + x)]; }
    int32_t& B(int x, int y) { return m_pFieldB[static_cast<size_t>(y * m_nWidth + x)]; }
    const std::vector<int32_t>& FieldA() const { return m_pFieldA; }
    const std::vector<int32_t>& FieldB() const { return m_pFieldB; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int DampingShift() const { return m_nDampingShift; }
};

bool AllZero(const std::vector<int32_t>& field) {
    return std::all_of(field.begin(), field.end(), [](int32_t v) { return v == 0; });
}

int CountNonZero(const std::vector<int32_t>& field) {
    return static_cast<int>(std::count_if(field.begin(), field.end(), [](int32_t v) { return v != 0; }));
}

// A picture whose every pixel differs from its neighbours and carries a nonzero top byte.
std::vector<uint32_t> MakePicture(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t red = static_cast<uint32_t>(40 + 7 * x) & 0xFF;
            const uint32_t green = static_cast<uint32_t>(60 + 11 * y) & 0xFF;
            const uint32_t blue = static_cast<uint32_t>(90 + 3 * x + 5 * y) & 0xFF;
            pixels[static_cast<size_t>(y * width + x)] = 0xAB000000u | (red << 16) | (green << 8) | blue;
        }
    }
    return pixels;
}

constexpr uint32_t kSentinel = 0xDEADBEEFu;

TEST(WaterEffect, StartsEmptyAndToleratesUseBeforeCreate) {
    WaterProbe water;
    EXPECT_EQ(water.Width(), 0);
    EXPECT_EQ(water.Height(), 0);
    EXPECT_EQ(water.GetPage(), 0);
    EXPECT_EQ(water.DampingShift(), 5);
    EXPECT_TRUE(water.FieldA().empty());
    EXPECT_TRUE(water.FieldB().empty());

    // Nothing to visit, so no pixel memory is touched.
    water.Step(nullptr, nullptr);
    water.AddDrop(3, 3, 5, 50, 0);
    water.AddDrop(-1, -1, 5, 50, 1);
    water.Clear();
    EXPECT_EQ(water.GetPage(), 1);
}

TEST(WaterEffect, CreateSizesFlatFieldsAndResetsPage) {
    WaterProbe water;
    water.Create(6, 4);
    water.AddDrop(2, 2, 2, 70, 0);
    water.Step(MakePicture(6, 4).data(), std::vector<uint32_t>(24).data());
    ASSERT_EQ(water.GetPage(), 1);

    water.Create(575, 40);
    EXPECT_EQ(water.Width(), 575);
    EXPECT_EQ(water.Height(), 40);
    EXPECT_EQ(water.GetPage(), 0);
    EXPECT_EQ(water.FieldA().size(), 575u * 40u);
    EXPECT_EQ(water.FieldB().size(), 575u * 40u);
    EXPECT_TRUE(AllZero(water.FieldA()));
    EXPECT_TRUE(AllZero(water.FieldB()));

    water.Create(-3, 7);
    EXPECT_TRUE(water.FieldA().empty());
    water.AddDrop(-1, 3, 1, 10, 0);
    water.AddDrop(1, 1, 1, 10, 0);
    EXPECT_TRUE(water.FieldA().empty());
}

TEST(WaterEffect, ClearFlattensBothFieldsAndKeepsPageAndSize) {
    WaterProbe water;
    water.Create(12, 9);
    std::vector<uint32_t> picture = MakePicture(12, 9);
    std::vector<uint32_t> target(picture.size());
    water.AddDrop(5, 4, 3, 100, 0);
    water.Step(picture.data(), target.data());
    water.AddDrop(5, 4, 3, 100, 1);
    ASSERT_FALSE(AllZero(water.FieldA()));
    ASSERT_FALSE(AllZero(water.FieldB()));

    water.Clear();
    EXPECT_TRUE(AllZero(water.FieldA()));
    EXPECT_TRUE(AllZero(water.FieldB()));
    EXPECT_EQ(water.GetPage(), 1);
    EXPECT_EQ(water.Width(), 12);
    EXPECT_EQ(water.Height(), 9);
}

TEST(WaterEffect, DropThenPropagateDampsTheDisc) {
    WaterProbe water;
    water.Create(5, 5);
    water.AddDrop(2, 2, 2, 50, 0);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inner = x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(water.A(x, y), inner ? 50 : 0) << x << "," << y;
        }
    }
    EXPECT_TRUE(AllZero(water.FieldB()));

    water.Propagate(0, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inner = x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(water.A(x, y), inner ? -48 : 0) << x << "," << y;
        }
    }
    EXPECT_TRUE(AllZero(water.FieldB()));
}

TEST(WaterEffect, PropagateReadsOneFieldAndWritesTheOtherByPage) {
    for (int page : {0, 1, 7}) {
        SCOPED_TRACE(page);
        WaterProbe water;
        water.Create(5, 5);
        int32_t* src = page == 0 ? &water.B(0, 0) : &water.A(0, 0);
        int32_t* dst = page == 0 ? &water.A(0, 0) : &water.B(0, 0);
        // Eight neighbours of (2, 2) at 4 each sum to 32; the cell itself is not counted.
        for (int i : {6, 7, 8, 11, 13, 16, 17, 18}) {
            src[i] = 4;
        }
        src[12] = 1000;
        dst[12] = 3;
        // A frame cell of the written field is never changed.
        dst[0] = 77;

        water.Propagate(page, 5);
        EXPECT_EQ(dst[12], (32 >> 2) - 3);
        EXPECT_EQ(dst[0], 77);
        EXPECT_EQ(src[12], 1000);
        EXPECT_EQ(src[6], 4);
    }
}

struct DampingCase {
    int32_t oldValue; // written field's cell, with the read field all zero
    int32_t expected;
};

class WaterDamping : public ::testing::TestWithParam<DampingCase> {};

TEST_P(WaterDamping, RemovesOneThirtySecondRoundingDown) {
    WaterProbe water;
    water.Create(3, 3);
    water.A(1, 1) = GetParam().oldValue;
    water.Propagate(0, 5);
    EXPECT_EQ(water.A(1, 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, WaterDamping,
                         ::testing::Values(DampingCase{50, -48}, DampingCase{-31, 31}, DampingCase{-32, 31},
                                           DampingCase{1, 0}, DampingCase{64, -62}, DampingCase{0, 0},
                                           DampingCase{-1000, 969}));

TEST(WaterEffect, NegativeNeighbourSumShiftsTowardNegativeInfinity) {
    WaterProbe water;
    water.Create(3, 3);
    water.B(0, 0) = -9;
    water.Propagate(0, 5);
    // s >> 2 = -3 (a truncating division would give -2), then -3 - (-3 >> 5) = -3 + 1.
    EXPECT_EQ(water.A(1, 1), -2);
}

TEST(WaterEffect, HeightsWrapAroundLikeThirtyTwoBitSums) {
    WaterProbe water;
    water.Create(3, 3);
    water.AddDrop(1, 1, 1, INT_MAX, 0);
    water.AddDrop(1, 1, 1, INT_MAX, 0);
    EXPECT_EQ(water.A(1, 1), -2);

    // 8 x INT_MAX wraps to -8; -8 >> 2 = -2; minus the old -2 gives 0.
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8}) {
        water.B(i % 3, i / 3) = INT_MAX;
    }
    water.Propagate(0, 5);
    EXPECT_EQ(water.A(1, 1), 0);

    // v = INT_MIN: the damping step wraps back to a large positive height.
    water.Create(3, 3);
    water.A(1, 1) = INT_MIN;
    water.Propagate(0, 5); // v = 0 - INT_MIN wraps to INT_MIN; INT_MIN - (INT_MIN >> 5)
    EXPECT_EQ(water.A(1, 1), INT_MIN - (INT_MIN >> 5));
}

TEST(WaterEffect, ClearedEffectCopiesInteriorAndLeavesTheRest) {
    const int width = 575;
    WaterProbe water;
    water.Create(width, 40);
    std::vector<uint32_t> picture = MakePicture(width, 80);
    std::vector<uint32_t> target(picture.size(), kSentinel);

    water.Step(picture.data(), target.data());

    int rendered = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y * width + x);
            const bool interior = x >= 1 && x <= width - 2 && y >= 1 && y <= 38;
            if (interior) {
                ++rendered;
                ASSERT_EQ(target[i], picture[i] & 0x00FFFFFFu) << x << "," << y;
            } else {
                ASSERT_EQ(target[i], kSentinel) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(rendered, 573 * 38);
}

// Drops at all four corners on both pages, then steps: the ripple moves, yet no step writes a frame cell of
// either field, nor a target pixel of the frame or above the effect's rows.
TEST(WaterEffect, StepsAfterDropsAtTheEdgesLeaveTheFrameAlone) {
    const int w = 20;
    const int h = 9;
    WaterProbe water;
    water.Create(w, h);
    const std::vector<uint32_t> picture = MakePicture(w, h + 3);
    std::vector<uint32_t> target(picture.size(), kSentinel);
    for (int page : {0, 1})
        for (const auto& [x, y] : {std::pair{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}})
            water.AddDrop(x, y, 3, 200, page);

    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE(n);
        water.Step(picture.data(), target.data());
        int changed = 0;
        for (int y = 0; y < h + 3; ++y) {
            for (int x = 0; x < w; ++x) {
                const size_t i = static_cast<size_t>(y * w + x);
                const bool frame = x == 0 || x == w - 1 || y == 0 || y >= h - 1;
                if (y < h && frame) {
                    ASSERT_EQ(water.A(x, y), 0) << x << "," << y;
                    ASSERT_EQ(water.B(x, y), 0) << x << "," << y;
                }
                if (frame)
                    ASSERT_EQ(target[i], kSentinel) << x << "," << y;
                else
                    changed += target[i] != (picture[i] & 0x00FFFFFFu);
            }
        }
        EXPECT_GT(changed, 0);
    }
}

struct SlopeCase {
    const char* name;
    int32_t here, right, below; // field A at i, i + 1 and i + w
    int offset;                 // expected source index minus i
    uint32_t sourcePixel;
    uint32_t expected;
};

class WaterSlope : public ::testing::TestWithParam<SlopeCase> {};

TEST_P(WaterSlope, DisplacesAndShadesBySlope) {
    const SlopeCase& c = GetParam();
    const int w = 10;
    const int h = 8;
    const int x = 4;
    const int y = 3;
    const int i = y * w + x;
    WaterProbe water;
    water.Create(w, h);
    water.A(x, y) = c.here;
    water.A(x + 1, y) = c.right;
    water.A(x, y + 1) = c.below;

    std::vector<uint32_t> source(static_cast<size_t>(w * h), 0x00808080u);
    source[static_cast<size_t>(i + c.offset)] = c.sourcePixel;
    std::vector<uint32_t> target(source.size(), kSentinel);
    water.RenderShaded(source.data(), target.data());
    EXPECT_EQ(target[static_cast<size_t>(i)], c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaterSlope,
    ::testing::Values(
        // dx = 16 moves two pixels right and darkens by 16; a channel of 10 bottoms out at 0.
        SlopeCase{"FallingRight", 16, 0, 16, 2, 0x000A64C8u, 0x000054B8u},
        // dx = -9: -9 >> 3 = -2, and 9 brightens each channel, 250 capped at 255.
        SlopeCase{"RisingRight", -9, 0, -9, -2, 0x00FA1400u, 0x00FF1D09u},
        // dy alone moves by whole rows and leaves the colour alone; the top byte is dropped.
        SlopeCase{"FallingDown", 16, 16, 0, 20, 0xFF123456u, 0x00123456u},
        SlopeCase{"RisingDownByOne", -1, -1, 0, -10, 0x00010203u, 0x00010203u},
        // Slopes below 8 shade without moving.
        SlopeCase{"SmallSlope", 7, 0, 7, 0, 0x00203040u, 0x00192939u},
        SlopeCase{"BothAxes", 24, 8, 0, 30 + 2, 0x00FFFFFFu, 0x00EFEFEFu}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaterEffect, SourceIndexOutsideTheEffectLeavesTargetPixel) {
    const int w = 10;
    const int h = 6;
    struct Case {
        int x, y;
        int32_t here, right, below;
        uint32_t expected; // kSentinel: left as it was
    };
    // Index 0 and indices from w x h up are skipped; 1 and w x h - 1 are read. Every source pixel is
    // 0x102030, shaded by dx.
    const Case cases[] = {
        {1, 1, -8, 0, 0, kSentinel},            // j = 11 - 10 - 1 = 0
        {2, 1, -8, 0, 0, 0x00182838u},          // j = 12 - 10 - 1 = 1
        {1, 1, -16, 0, 0, kSentinel},           // j = 11 - 20 - 2 = -11
        {8, 4, 16, 0, 8, kSentinel},            // j = 48 + 10 + 2 = 60
        {8, 4, 8, 0, 0, 0x00081828u},           // j = 48 + 10 + 1 = 59
        {8, 4, INT_MAX, 0, INT_MAX, kSentinel}, // dx >> 3 reaches far beyond the field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " here " << c.here);
        WaterProbe water;
        water.Create(w, h);
        water.A(c.x, c.y) = c.here;
        water.A(c.x + 1, c.y) = c.right;
        water.A(c.x, c.y + 1) = c.below;
        std::vector<uint32_t> source(static_cast<size_t>(w * h), 0x00102030u);
        std::vector<uint32_t> target(source.size(), kSentinel);
        water.RenderShaded(source.data(), target.data());
        EXPECT_EQ(target[static_cast<size_t>(c.y * w + c.x)], c.expected);
    }
}

TEST(WaterEffect, DropOnPageOneShowsOnTheThirdStep) {
    const int w = 24;
    const int h = 14;
    WaterProbe water;
    water.Create(w, h);
    const std::vector<uint32_t> picture = MakePicture(w, h);
    std::vector<uint32_t> plain(picture.size());
    std::transform(picture.begin(), picture.end(), plain.begin(), [](uint32_t p) { return p & 0xFFFFFFu; });

    auto step = [&]() {
        std::vector<uint32_t> target = plain;
        water.Step(picture.data(), target.data());
        return target;
    };

    step();
    ASSERT_EQ(water.GetPage(), 1);
    water.AddDrop(12, 7, 3, 120, water.GetPage());
    EXPECT_TRUE(AllZero(water.FieldA()));

    EXPECT_EQ(step(), plain);
    EXPECT_TRUE(AllZero(water.FieldA()));
    EXPECT_EQ(water.B(12, 7), -120 - (-120 >> 5));

    EXPECT_EQ(step(), plain);
    EXPECT_FALSE(AllZero(water.FieldA()));

    const std::vector<uint32_t> third = step();
    EXPECT_NE(third, plain);
    const std::vector<uint32_t> fourth = step();
    EXPECT_EQ(fourth, third);
    const std::vector<uint32_t> fifth = step();
    EXPECT_NE(fifth, fourth);
}

TEST(WaterEffect, DropsGoToTheFieldOfTheirPageAndPileUp) {
    WaterProbe water;
    water.Create(9, 9);
    water.AddDrop(4, 4, 2, 50, 0);
    water.AddDrop(4, 4, 2, 25, 0);
    water.AddDrop(4, 4, 1, 7, 1);
    water.AddDrop(4, 4, 1, 3, 5);
    EXPECT_EQ(water.A(4, 4), 75);
    EXPECT_EQ(water.A(3, 3), 75);
    EXPECT_EQ(water.A(2, 4), 0);
    EXPECT_EQ(water.B(4, 4), 10);
    EXPECT_EQ(CountNonZero(water.FieldB()), 1);
}

TEST(WaterEffect, DiscCoversCellsStrictlyWithinRadius) {
    const struct {
        int radius;
        int cells;
    } cases[] = {{-2, 0}, {0, 0}, {1, 1}, {2, 9}, {3, 25}, {5, 69}, {10, 305}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radius);
        WaterProbe water;
        water.Create(41, 41);
        water.AddDrop(20, 20, c.radius, 3, 0);
        EXPECT_EQ(CountNonZero(water.FieldA()), c.cells);
        const long long total = std::accumulate(water.FieldA().begin(), water.FieldA().end(), 0LL);
        EXPECT_EQ(total, 3LL * c.cells);
        for (int y = 0; y < 41; ++y) {
            for (int x = 0; x < 41; ++x) {
                const int d2 = (x - 20) * (x - 20) + (y - 20) * (y - 20);
                EXPECT_EQ(water.A(x, y) != 0, c.radius > 0 && d2 < c.radius * c.radius) << x << "," << y;
            }
        }
    }
}

TEST(WaterEffect, DropsAreClippedToTheInterior) {
    const struct {
        int x, y, radius;
        int cells;
    } cases[] = {
        {0, 0, 5, 13},    // offsets 1..4 both ways with cx^2 + cy^2 < 25
        {1, 1, 2, 4},     // offsets 0..1 both ways
        {574, 20, 5, 30}, // centre on the right frame column: only offsets -4..-1 across
        {20, 38, 5, 39},  // centre in the top interior row: only offsets -5..0 down
        {20, 60, 5, 0},   // far above a 40-row field
        {700, 20, 5, 0},  // far to the right
        {-20, 600, 5, 0}, // random column, but still far above
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " r" << c.radius);
        WaterProbe water;
        water.Create(575, 40);
        water.AddDrop(c.x, c.y, c.radius, 1, 0);
        EXPECT_EQ(CountNonZero(water.FieldA()), c.cells);
        for (int x = 0; x < 575; ++x) {
            ASSERT_EQ(water.A(x, 0), 0);
            ASSERT_EQ(water.A(x, 39), 0);
        }
        for (int y = 0; y < 40; ++y) {
            ASSERT_EQ(water.A(0, y), 0);
            ASSERT_EQ(water.A(574, y), 0);
        }
    }
}

// Finds the centre of a drop's footprint from the columns and rows it touched.
std::pair<int, int> FootprintCentre(const WaterProbe& water) {
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    const auto& a = water.FieldA();
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != 0) {
            const int x = static_cast<int>(i) % water.Width();
            const int y = static_cast<int>(i) / water.Width();
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    return {(minX + maxX) / 2, (minY + maxY) / 2};
}

TEST(WaterEffect, NegativeCoordinateChoosesRandomCentreInsideInterior) {
    WaterProbe water;
    water.Create(575, 40);
    std::set<int> columns;
    std::set<int> rows;
    std::srand(12345);
    for (int n = 0; n < 400; ++n) {
        water.Clear();
        water.AddDrop(-3, n % 2 == 0 ? 20 : -1, 5, 50, 0);
        ASSERT_EQ(CountNonZero(water.FieldA()), 69);
        const auto [x, y] = FootprintCentre(water);
        ASSERT_GE(x, 6);
        ASSERT_LE(x, 569);
        columns.insert(x);
        if (n % 2 == 0) {
            ASSERT_EQ(y, 20);
        } else {
            ASSERT_GE(y, 6);
            ASSERT_LE(y, 34);
            rows.insert(y);
        }
    }
    EXPECT_GT(columns.size(), 100u);
    EXPECT_GT(rows.size(), 10u);
}

TEST(WaterEffect, RandomPlacementOnTooSmallFieldAddsNothing) {
    const struct {
        int width, height, x, y, radius;
        int cells;
        int centreX; // -1: any column
    } cases[] = {
        {11, 40, -1, 20, 5, 0, -1},  // w = 2r + 1
        {8, 40, -1, 20, 5, 0, -1},   // w < 2r + 1
        {40, 11, 20, -4, 5, 0, -1},  // h = 2r + 1
        {40, 11, -1, -4, 5, 0, -1},  // x could be placed, y cannot
        {575, 3, -3, 1, 5, 9, -1},   // a random column is fine; the one interior row clips the disc
        {12, 40, -1, 20, 5, 69, 6},  // exactly one column fits
        {575, 40, -1, 20, 0, 0, -1}, // radius 0 is an empty disc
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " at " << c.x << "," << c.y);
        WaterProbe water;
        water.Create(c.width, c.height);
        water.AddDrop(c.x, c.y, c.radius, 9, 0);
        EXPECT_EQ(CountNonZero(water.FieldA()), c.cells);
        if (c.centreX >= 0) {
            EXPECT_EQ(FootprintCentre(water).first, c.centreX);
        }
    }
}

} // namespace
