#include "art/icon.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace art {
namespace {

// Drawn on a 64-unit square, the same coordinates as art/spinmarsh.svg: keep
// the two in step.
QImage windowGlyph(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 64.0, size / 64.0);

    const QRectF frame(5, 9, 54, 46);
    QPainterPath window;
    window.addRoundedRect(frame, 5, 5);
    p.fillPath(window, QColor(0xf4, 0xf6, 0xf8));

    // The title bar is the top of the window, clipped to its rounded corners.
    QPainterPath bar;
    bar.addRect(QRectF(5, 9, 54, 12));
    p.fillPath(window.intersected(bar), QColor(0x3d, 0x6f, 0xb6));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf6, 0xf8));
    for (const double x : {40.0, 46.5, 53.0})
        p.drawEllipse(QPointF(x, 15), 2.2, 2.2);

    p.setPen(QPen(QColor(0x2b, 0x36, 0x40), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(window);
    return image;
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(windowGlyph(size)));
    return icon;
}

} // namespace art
