// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sevensegment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace chronivel {
namespace {

using V = SegmentVertex;

std::vector<V> Vertices(const SegmentPolygon& polygon)
{
    return {polygon.vertices.begin(), polygon.vertices.begin() + polygon.vertexCount};
}

int Bits(std::uint8_t pattern)
{
    int n = 0;
    for (; pattern != 0; pattern &= pattern - 1) ++n;
    return n;
}

TEST(SevenSegment, MasksAreSingleBitsInDrawingOrder)
{
    using namespace segment;
    const std::uint8_t order[] = {Top, Middle, Bottom, UpperLeft, UpperRight, LowerLeft, LowerRight, Point};
    std::uint8_t all = 0;
    for (int i = 0; i < Count; ++i) {
        EXPECT_EQ(Masks[i], order[i]) << "segment " << i;
        EXPECT_EQ(Masks[i], 1u << i) << "segment " << i;
        all |= Masks[i];
    }
    EXPECT_EQ(all, 0xFF);

    const auto polygons = SegmentPolygons(16, 32, 2, 1);
    for (int i = 0; i < Count; ++i) EXPECT_EQ(polygons[i].mask, Masks[i]) << "polygon " << i;
    for (int i = 0; i < Count - 1; ++i) EXPECT_EQ(polygons[i].vertexCount, 6) << "bar " << i;
    EXPECT_EQ(polygons[Count - 1].vertexCount, 3);
}

TEST(SevenSegment, DigitsLightTheirSegments)
{
    using namespace segment;
    const std::uint8_t all = Top | Middle | Bottom | UpperLeft | UpperRight | LowerLeft | LowerRight;
    const std::uint8_t expected[10] = {
        static_cast<std::uint8_t>(all & ~Middle),
        UpperRight | LowerRight,
        Top | UpperRight | Middle | LowerLeft | Bottom,
        Top | UpperRight | Middle | LowerRight | Bottom,
        UpperLeft | UpperRight | Middle | LowerRight,
        Top | UpperLeft | Middle | LowerRight | Bottom,
        Top | UpperLeft | Middle | LowerLeft | LowerRight | Bottom,
        Top | UpperRight | LowerRight,
        all,
        Top | UpperLeft | UpperRight | Middle | LowerRight | Bottom,
    };
    for (int digit = 0; digit < 10; ++digit) {
        EXPECT_EQ(DigitPatterns[digit], expected[digit]) << "digit " << digit;
        EXPECT_EQ(DigitPatterns[digit] & Point, 0) << "digit " << digit;
    }
    // The bytes themselves, as ValueBinary reports them.
    EXPECT_EQ(DigitPatterns[0], 0x7D);
    EXPECT_EQ(DigitPatterns[2], 0x37);
    EXPECT_EQ(Bits(DigitPatterns[8]), 7);
    EXPECT_EQ(Bits(DigitPatterns[1]), 2);
}

// 16 × 32, thickness 2, separation 1: W = 15, H = 31, H/2 = 15 (truncated).
TEST(SevenSegment, GeometryOfTheDefaultDigit)
{
    const auto p = SegmentPolygons(16, 32, 2, 1);
    EXPECT_EQ(Vertices(p[0]), (std::vector<V>{{3, 2}, {5, 0}, {10, 0}, {12, 2}, {10, 4}, {5, 4}}));
    EXPECT_EQ(Vertices(p[1]), (std::vector<V>{{3, 15}, {5, 13}, {10, 13}, {12, 15}, {10, 17}, {5, 17}}));
    EXPECT_EQ(Vertices(p[2]), (std::vector<V>{{3, 29}, {5, 27}, {10, 27}, {12, 29}, {10, 31}, {5, 31}}));
    EXPECT_EQ(Vertices(p[3]), (std::vector<V>{{0, 5}, {2, 3}, {4, 5}, {4, 12}, {2, 14}, {0, 12}}));
    EXPECT_EQ(Vertices(p[4]), (std::vector<V>{{11, 5}, {13, 3}, {15, 5}, {15, 12}, {13, 14}, {11, 12}}));
    EXPECT_EQ(Vertices(p[5]), (std::vector<V>{{0, 18}, {2, 16}, {4, 18}, {4, 25}, {2, 27}, {0, 25}}));
    EXPECT_EQ(Vertices(p[6]), (std::vector<V>{{11, 18}, {13, 16}, {15, 18}, {15, 25}, {13, 27}, {11, 25}}));
    EXPECT_EQ(Vertices(p[7]), (std::vector<V>{{15, 31}, {12, 31}, {15, 28}}));
}

// 16 × 25 (odd height, so H = 24 halves exactly), thickness 2, separation 1.
TEST(SevenSegment, GeometryAtOddHeight)
{
    const auto p = SegmentPolygons(16, 25, 2, 1);
    EXPECT_EQ(Vertices(p[1]), (std::vector<V>{{3, 12}, {5, 10}, {10, 10}, {12, 12}, {10, 14}, {5, 14}}));
    EXPECT_EQ(Vertices(p[2]), (std::vector<V>{{3, 22}, {5, 20}, {10, 20}, {12, 22}, {10, 24}, {5, 24}}));
    EXPECT_EQ(Vertices(p[3]), (std::vector<V>{{0, 5}, {2, 3}, {4, 5}, {4, 9}, {2, 11}, {0, 9}}));
    EXPECT_EQ(Vertices(p[6]), (std::vector<V>{{11, 15}, {13, 13}, {15, 15}, {15, 19}, {13, 21}, {11, 19}}));
    EXPECT_EQ(Vertices(p[7]), (std::vector<V>{{15, 24}, {12, 24}, {15, 21}}));
}

// 21 × 40, thickness 3, separation 2: W = 20, H = 39, H/2 = 19.
TEST(SevenSegment, GeometryFollowsThicknessAndSeparation)
{
    const auto p = SegmentPolygons(21, 40, 3, 2);
    EXPECT_EQ(Vertices(p[0]), (std::vector<V>{{5, 3}, {8, 0}, {12, 0}, {15, 3}, {12, 6}, {8, 6}}));
    EXPECT_EQ(Vertices(p[1]), (std::vector<V>{{5, 19}, {8, 16}, {12, 16}, {15, 19}, {12, 22}, {8, 22}}));
    EXPECT_EQ(Vertices(p[4]), (std::vector<V>{{14, 8}, {17, 5}, {20, 8}, {20, 14}, {17, 17}, {14, 14}}));
    EXPECT_EQ(Vertices(p[5]), (std::vector<V>{{0, 24}, {3, 21}, {6, 24}, {6, 30}, {3, 33}, {0, 30}}));
    EXPECT_EQ(Vertices(p[7]), (std::vector<V>{{20, 39}, {16, 39}, {20, 35}}));
}

// Where a bar's pointed end meets an upright's, for each joint of the digit:
// {bar, bar vertex, upright, upright vertex}.
struct Joint {
    int bar, barTip, upright, uprightTip;
};
constexpr Joint kJoints[] = {
    {0, 0, 3, 1}, {0, 3, 4, 1},  // top bar with the upper uprights
    {1, 0, 3, 4}, {1, 3, 4, 4},  // middle bar with the upper uprights' lower ends
    {1, 0, 5, 1}, {1, 3, 6, 1},  // and with the lower uprights' upper ends
    {2, 0, 5, 4}, {2, 3, 6, 4},  // bottom bar with the lower uprights
};

// Heights are odd here: with an even height H/2 is truncated and the lower
// uprights end a pixel above the bottom bar's ends.
TEST(SevenSegment, WithoutSeparationThePointedEndsTouch)
{
    for (const auto& size : {std::pair{16, 33}, std::pair{16, 25}, std::pair{80, 125}}) {
        const auto p = SegmentPolygons(size.first, size.second, 2, 0);
        for (const Joint& j : kJoints) {
            EXPECT_EQ(p[j.bar].vertices[j.barTip], p[j.upright].vertices[j.uprightTip])
                << size.first << "x" << size.second << " bar " << j.bar << " upright " << j.upright;
        }
    }
}

TEST(SevenSegment, SeparationOpensEveryJointEvenly)
{
    for (int s : {1, 2, 3}) {
        const auto p = SegmentPolygons(80, 125, 5, s);
        for (const Joint& j : kJoints) {
            const V a = p[j.bar].vertices[j.barTip];
            const V b = p[j.upright].vertices[j.uprightTip];
            EXPECT_EQ(std::abs(a.x - b.x), s) << "bar " << j.bar << " upright " << j.upright;
            EXPECT_EQ(std::abs(a.y - b.y), s) << "bar " << j.bar << " upright " << j.upright;
        }
    }
}

TEST(SevenSegment, EverySegmentStaysInsideTheDigit)
{
    for (const auto& [width, height, t, s] : {std::array{16, 32, 2, 1}, std::array{16, 25, 2, 1},
                                              std::array{80, 125, 6, 2}, std::array{17, 33, 8, 0}}) {
        for (const SegmentPolygon& polygon : SegmentPolygons(width, height, t, s)) {
            for (const V& v : Vertices(polygon)) {
                EXPECT_GE(v.x, 0);
                EXPECT_LE(v.x, width - 1);
                EXPECT_GE(v.y, 0);
                EXPECT_LE(v.y, height - 1);
            }
        }
    }
}

}  // namespace
}  // namespace chronivel
