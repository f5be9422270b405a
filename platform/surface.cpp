// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/surface.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

Surface::Surface(const QImage& picture) : m_image(picture.convertToFormat(QImage::Format_RGB32)) {}

namespace {

// The alpha byte of a 32-bit RGB picture must stay 0xFF, so the bitwise
// operations work on the colour bits only.
constexpr QRgb opaque = 0xFF000000u;

// Four pixels at a time in plain vector registers, whatever the optimisation
// level the game was built with; the few pixels left over one by one. An AND
// or XOR of a surface onto itself a pixel or three to the right must see the
// pixels it has just written, as one pixel at a time would, so it goes
// singly. A plain copy is a memmove instead: within a row it reads the source
// as it was before the copy, whichever way the rectangles overlap.
using Pixels4 = QRgb __attribute__((vector_size(16)));

template <typename Op> void combineRow(QRgb* d, const QRgb* s, int n, Op op) {
    const auto gap = reinterpret_cast<std::uintptr_t>(d) - reinterpret_cast<std::uintptr_t>(s);
    const bool fourAtATime = gap == 0 || gap >= sizeof(Pixels4);
    int x = 0;
    for (; fourAtATime && x + 4 <= n; x += 4) {
        Pixels4 dv, sv;
        std::memcpy(&dv, d + x, sizeof dv);
        std::memcpy(&sv, s + x, sizeof sv);
        dv = op(dv, sv) | opaque;
        std::memcpy(d + x, &dv, sizeof dv);
    }
    for (; x < n; ++x) {
        d[x] = op(d[x], s[x]) | opaque;
    }
}

// A copy from another surface writes only the pixels that differ and
// reports only the rectangles they lie in, one for each run of rows with a
// difference: restoring a margin strip whole from the background changes
// just where a gunman or a shot stood, and only that need reach the screen.
// dstRow and srcRow point at the first row of the area; the source's pixel
// for x is at x + dx.
void copyChanged(uchar* dstRow, qsizetype dstStride, const uchar* srcRow, qsizetype srcStride,
                 const QRect& area, int dx, const std::function<void(const QRect&)>& changed) {
    QRect run;
    const auto report = [&] {
        if (!run.isEmpty() && changed) {
            changed(run);
        }
        run = QRect();
    };
    const size_t rowBytes = static_cast<size_t>(area.width()) * sizeof(QRgb);
    for (int y = area.top(); y <= area.bottom(); ++y, dstRow += dstStride, srcRow += srcStride) {
        auto* d = reinterpret_cast<QRgb*>(dstRow) + area.left();
        const auto* s = reinterpret_cast<const QRgb*>(srcRow) + area.left() + dx;
        if (std::memcmp(d, s, rowBytes) == 0) {
            report();
            continue;
        }
        int first = 0;
        int last = area.width() - 1;
        while (d[first] == s[first]) {
            ++first;
        }
        while (d[last] == s[last]) {
            --last;
        }
        std::memcpy(d + first, s + first, static_cast<size_t>(last - first + 1) * sizeof(QRgb));
        run |= QRect(area.left() + first, y, last - first + 1, 1);
    }
    report();
}

} // namespace

void BitBlt(Surface& dst, int xd, int yd, int w, int h, const Surface& src, int xs, int ys,
            unsigned rop) {
    if (rop != SRCCOPY && rop != SRCAND && rop != SRCINVERT) {
        return;
    }
    // Clip against the destination, then against the source, moving both
    // origins together so the pixels stay paired.
    const int left = std::max({0, -xd, -xs});
    const int top = std::max({0, -yd, -ys});
    const int right = std::min({w, dst.width() - xd, src.width() - xs});
    const int bottom = std::min({h, dst.height() - yd, src.height() - ys});
    if (left >= right || top >= bottom) {
        return;
    }
    // Take the pixel memory once per copy: asking a QImage for a writable row
    // checks for sharing every time, which costs more than copying a sprite's
    // row. The destination is made writable first, so a source that shared
    // its pixels with it still reads the old ones.
    const qsizetype dstStride = dst.m_image.bytesPerLine();
    const qsizetype srcStride = src.m_image.bytesPerLine();
    uchar* dstRow = dst.m_image.bits() + (yd + top) * dstStride;
    const uchar* srcRow = src.m_image.constBits() + (ys + top) * srcStride;
    const int n = right - left;
    const int rows = bottom - top;
    const int x0 = xd + left;
    const int y0 = yd + top;
    if (rop == SRCCOPY && &dst != &src) {
        copyChanged(dstRow, dstStride, srcRow, srcStride, QRect(x0, y0, n, rows), xs - xd,
                    dst.changed);
        return;
    }
    for (int y = 0; y < rows; ++y, dstRow += dstStride, srcRow += srcStride) {
        auto* d = reinterpret_cast<QRgb*>(dstRow) + x0;
        const auto* s = reinterpret_cast<const QRgb*>(srcRow) + xs + left;
        switch (rop) {
        case SRCCOPY:
            std::memmove(d, s, static_cast<size_t>(n) * sizeof(QRgb));
            break;
        case SRCAND:
            combineRow(d, s, n, [](auto a, auto b) { return a & b; });
            break;
        default:
            combineRow(d, s, n, [](auto a, auto b) { return a ^ b; });
            break;
        }
    }
    if (dst.changed) {
        dst.changed(QRect(x0, y0, n, rows));
    }
}
