// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace art {

QImage programIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/art/spinmarsh.svg"));
    QPainter painter(&image);
    svg.render(&painter);
    return image;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    }
    return icon;
}

} // namespace art
