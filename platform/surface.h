// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

#include <functional>

// A drawing surface: a 32-bit RGB picture that sprites are copied onto and
// from. Every copy is clipped to the destination and to the source.
class Surface {
  public:
    Surface() = default;
    explicit Surface(const QImage& picture);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    const QImage& image() const { return m_image; }
    QRgb pixel(int x, int y) const { return m_image.pixel(x, y); }

    // Called with the changed rectangle after every copy onto this surface, so
    // a window can repaint just that part.
    std::function<void(const QRect&)> changed;

  private:
    friend void BitBlt(Surface&, int, int, int, int, const Surface&, int, int, unsigned);
    QImage m_image;
};

inline constexpr unsigned SRCCOPY = 0x00CC0020;
inline constexpr unsigned SRCAND = 0x008800C6;
inline constexpr unsigned SRCINVERT = 0x00660046;

// Copies a w x h rectangle from src at (xs, ys) onto dst at (xd, yd), combining
// each destination pixel with the source pixel by the raster operation rop
// (SRCCOPY, SRCAND or SRCINVERT). Pixels outside either surface are left alone.
void BitBlt(Surface& dst, int xd, int yd, int w, int h, const Surface& src, int xs, int ys,
            unsigned rop);
