#include "platform/surface.h"

#include <algorithm>

Surface::Surface(QImage picture) : m_image(picture.convertToFormat(QImage::Format_RGB32)) {}

void BitBlt(Surface& dst, int xd, int yd, int w, int h, const Surface& src, int xs, int ys,
            unsigned rop) {
    // Clip against the destination, then against the source, moving both
    // origins together so the pixels stay paired.
    const int left = std::max({0, -xd, -xs});
    const int top = std::max({0, -yd, -ys});
    const int right = std::min({w, dst.width() - xd, src.width() - xs});
    const int bottom = std::min({h, dst.height() - yd, src.height() - ys});
    if (left >= right || top >= bottom) {
        return;
    }
    // The alpha byte of a 32-bit RGB picture must stay 0xFF, so the bitwise
    // operations work on the colour bits only.
    constexpr QRgb opaque = 0xFF000000u;
    for (int y = top; y < bottom; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(src.m_image.constScanLine(ys + y)) + xs;
        auto* d = reinterpret_cast<QRgb*>(dst.m_image.scanLine(yd + y)) + xd;
        switch (rop) {
        case SRCCOPY:
            std::copy(s + left, s + right, d + left);
            break;
        case SRCAND:
            for (int x = left; x < right; ++x) {
                d[x] = (d[x] & s[x]) | opaque;
            }
            break;
        case SRCINVERT:
            for (int x = left; x < right; ++x) {
                d[x] = (d[x] ^ s[x]) | opaque;
            }
            break;
        default:
            return;
        }
    }
    if (dst.changed) {
        dst.changed(QRect(xd + left, yd + top, right - left, bottom - top));
    }
}
