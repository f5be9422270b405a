// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "art/paint.h"

#include <QPainter>
#include <QTransform>

#include <cmath>

namespace art::paint {

int mix(int a, int b, double t) {
    return std::clamp(static_cast<int>(std::lround(a + (b - a) * t)), 0, 255);
}

QRgb mix(QRgb a, QRgb b, double t) {
    return qRgb(mix(qRed(a), qRed(b), t), mix(qGreen(a), qGreen(b), t), mix(qBlue(a), qBlue(b), t));
}

QRgb scaled(QRgb c, double f) {
    return qRgb(mix(0, qRed(c), f), mix(0, qGreen(c), f), mix(0, qBlue(c), f));
}

namespace {

quint32 hash(int x, int y, quint32 seed) {
    quint32 h = static_cast<quint32>(x) * 374761393u + static_cast<quint32>(y) * 668265263u +
                seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, quint32 seed) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0);
    const double fy = smooth(y - y0);
    const double top = unitHash(x0, y0, seed) * (1 - fx) + unitHash(x0 + 1, y0, seed) * fx;
    const double bottom =
        unitHash(x0, y0 + 1, seed) * (1 - fx) + unitHash(x0 + 1, y0 + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

} // namespace

double unitHash(int x, int y, quint32 seed) {
    return (hash(x, y, seed) & 0xffffffu) / double(0xffffffu);
}

double fbm(double x, double y, quint32 seed, int octaves) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + static_cast<quint32>(i));
        norm += amplitude;
        amplitude *= 0.5;
        x *= 2;
        y *= 2;
    }
    return sum / norm;
}

QRectF pixelBox(int left, int top, int right, int bottom) {
    return QRectF(left, top, right - left + 1, bottom - top + 1);
}

QPainterPath fitted(const QPainterPath& shape, const QRectF& box) {
    const QRectF bounds = shape.boundingRect();
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    return fit.map(shape);
}

Layer coverage(const QPainterPath& path, int w, int h, bool antialiased) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, antialiased);
        p.fillPath(path, Qt::white);
    }
    Layer layer(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            layer[static_cast<std::size_t>(y * w + x)] =
                static_cast<float>(qRed(img.pixel(x, y))) / 255.0f;
        }
    }
    return layer;
}

} // namespace art::paint
