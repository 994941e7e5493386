// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace chronivel {

// A seven-segment digit with a decimal point: which bit lights which segment,
// the patterns of the ten digits, and the outline of every segment at a size.
// The big digits of the second monitor and the readout's glyphs share it.
namespace segment {

inline constexpr std::uint8_t Top = 0x01;
inline constexpr std::uint8_t Middle = 0x02;
inline constexpr std::uint8_t Bottom = 0x04;
inline constexpr std::uint8_t UpperLeft = 0x08;
inline constexpr std::uint8_t UpperRight = 0x10;
inline constexpr std::uint8_t LowerLeft = 0x20;
inline constexpr std::uint8_t LowerRight = 0x40;
inline constexpr std::uint8_t Point = 0x80;

inline constexpr int Count = 8;

// Drawing order: the three bars, the four uprights (upper row first, left
// before right), then the point.
inline constexpr std::array<std::uint8_t, Count> Masks = {
    Top, Middle, Bottom, UpperLeft, UpperRight, LowerLeft, LowerRight, Point};

}  // namespace segment

// Patterns of the digits 0..9; none of them lights the point.
inline constexpr std::array<std::uint8_t, 10> DigitPatterns = {
    0x7D, 0x50, 0x37, 0x57, 0x5A, 0x4F, 0x6F, 0x51, 0x7F, 0x5F};

struct SegmentVertex {
    int x = 0;
    int y = 0;
    friend bool operator==(const SegmentVertex&, const SegmentVertex&) = default;
};

// A bar is a hexagon with pointed ends; the point is a triangle, whose last
// three vertices are unused.
struct SegmentPolygon {
    std::uint8_t mask = 0;
    int vertexCount = 0;
    std::array<SegmentVertex, 6> vertices{};
};

// The eight segments of a digit width × height pixels large, in drawing order.
// Bars are 2 × thickness thick, and the pointed ends of neighbouring bars
// stop `separation` pixels short of each other (a pixel more at the bottom
// joints when the height is even, as H/2 is truncated). Coordinates run from
// 0 to width − 1 and height − 1: the pixels a one-pixel outline covers.
std::array<SegmentPolygon, segment::Count> SegmentPolygons(int width, int height, int thickness, int separation);

}  // namespace chronivel
