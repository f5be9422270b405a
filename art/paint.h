// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRectF>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

// The paint helpers every picture shares: colour mixing and ramps, the
// texture noise, fitting a shape to its box, coverage and blur. All of it is
// plain arithmetic, so a picture comes out the same on every machine.
namespace art::paint {

// Mixes two channel values or colours, t = 0 giving a and 1 giving b.
int mix(int a, int b, double t);
QRgb mix(QRgb a, QRgb b, double t);
// A colour darkened (f < 1) or brightened (f > 1).
QRgb scaled(QRgb c, double f);

struct Stop {
    double at;
    QRgb colour;
};

// Piecewise linear colour ramp; stops sorted by `at`.
template <std::size_t N> QRgb ramp(const std::array<Stop, N>& stops, double t) {
    if (t <= stops.front().at) {
        return stops.front().colour;
    }
    for (std::size_t i = 1; i < N; ++i) {
        if (t <= stops[i].at) {
            const double f = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return mix(stops[i - 1].colour, stops[i].colour, f);
        }
    }
    return stops.back().colour;
}

// A hash of a pixel in 0..1: the same texture on every machine and every run.
double unitHash(int x, int y, quint32 seed);
// Fractal value noise in 0..1.
double fbm(double x, double y, quint32 seed, int octaves);

// A box given by its first and last pixel, both inclusive.
QRectF pixelBox(int left, int top, int right, int bottom);
// The shape stretched onto the box, its bounds exactly filling it.
QPainterPath fitted(const QPainterPath& shape, const QRectF& box);

// One value per pixel of a w x h area, row by row.
using Layer = std::vector<float>;
// How much of each pixel the path covers, 0 to 1; without antialiasing,
// exactly 0 or 1.
Layer coverage(const QPainterPath& path, int w, int h, bool antialiased);

// Repeated separable box blurs, the edge pixels repeated beyond the border:
// close enough to a soft glow or shadow, and cheap.
template <typename T>
std::vector<T> blurred(std::vector<T> layer, int w, int h, int radius, int passes) {
    std::vector<T> tmp(layer.size());
    const auto at = [w](int x, int y) { return static_cast<std::size_t>(y * w + x); };
    const T side = T(2) * static_cast<T>(radius) + T(1);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                T sum = 0;
                for (int d = -radius; d <= radius; ++d) {
                    sum += layer[at(std::clamp(x + d, 0, w - 1), y)];
                }
                tmp[at(x, y)] = sum / side;
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                T sum = 0;
                for (int d = -radius; d <= radius; ++d) {
                    sum += tmp[at(x, std::clamp(y + d, 0, h - 1))];
                }
                layer[at(x, y)] = sum / side;
            }
        }
    }
    return layer;
}

} // namespace art::paint
