// A stroke font for the few words drawn into the window's background: each
// glyph is a handful of polylines on a grid where a capital is 10 units high
// (0 on the cap line, 10 on the baseline; the x-height is 3, descenders
// reach 13). Only the letters the labels use are here.
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace labelfont {

struct Point {
    double x, y;
};
using Polyline = std::vector<Point>;

struct Glyph {
    double width;  // from the leftmost to the rightmost stroke centre
    std::vector<Polyline> strokes;
};

// Points along an ellipse from angle `from` to `to` (degrees, counted
// anticlockwise from the right, as on paper with y upwards).
inline Polyline arc(double cx, double cy, double rx, double ry, double from, double to) {
    constexpr int kSteps = 24;
    constexpr double kPi = 3.14159265358979323846;
    Polyline points;
    for (int i = 0; i <= kSteps; ++i) {
        const double a = (from + (to - from) * i / kSteps) * kPi / 180.0;
        points.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    return points;
}

inline Polyline join(Polyline first, const Polyline& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

inline Glyph glyph(char c) {
    switch (c) {
        case 'L':
            return {5.2, {{{0, 0}, {0, 10}, {5.2, 10}}}};
        case 'W':
            return {7.6, {{{0, 0}, {1.9, 10}, {3.8, 2.2}, {5.7, 10}, {7.6, 0}}}};
        case 'a':  // single-storey: a bowl with a stem on its right
            return {4.9, {arc(2.45, 6.5, 2.45, 3.4, 0, 360), {{4.9, 3}, {4.9, 10}}}};
        case 'e':  // the bar, then the bowl from its right end round to the lower right
            return {5.2, {join({{0.1, 6.5}, {5.2, 6.5}}, arc(2.65, 6.5, 2.55, 3.5, 0, 315))}};
        case 'h':
            return {4.7, {{{0, 0}, {0, 10}}, join(arc(2.35, 5.7, 2.35, 2.7, 180, 0), {{4.7, 10}})}};
        case 'p':
            return {5.0, {{{0, 3}, {0, 13.4}}, arc(2.5, 6.5, 2.5, 3.4, 0, 360)}};
        case 'r':
            return {3.6, {{{0, 3}, {0, 10}}, arc(2.9, 6.0, 2.9, 3.0, 180, 75)}};
        case 't':
            return {3.5, {join({{1.4, 0.8}, {1.4, 8.6}}, arc(2.9, 8.6, 1.5, 1.4, 180, 270)),
                          {{0, 3.2}, {3.5, 3.2}}}};
        case 'y':
            return {5.0, {{{0, 3}, {2.6, 9.8}}, {{5.0, 3}, {2.3, 11.2}, {1.8, 12.3}, {1.0, 12.9}, {0.1, 13}}}};
        default:  // a space, and anything the labels do not use
            return {1.4, {}};
    }
}

// The strokes of `text` in pixels: its cap line at `top`, its first stroke
// centre at `left`, `unit` pixels to a grid unit. `gap` is the room between
// two glyphs' outermost stroke centres.
inline std::vector<Polyline> layOut(const std::string& text, double left, double top, double unit,
                                    double gap) {
    std::vector<Polyline> strokes;
    double x = left;
    for (const char c : text) {
        const Glyph g = glyph(c);
        for (const Polyline& stroke : g.strokes) {
            Polyline placed;
            for (const Point& p : stroke) placed.push_back({x + p.x * unit, top + p.y * unit});
            strokes.push_back(placed);
        }
        x += (g.width + gap) * unit;
    }
    return strokes;
}

}  // namespace labelfont
