// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/pictures.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace art {

namespace {
constexpr int kBall = 32; // the ball sheet's frames are this wide and high
constexpr QRgb kBoard = qRgb(0, 0, 0);
constexpr QRgb kLine = qRgb(192, 192, 192); // the score screen's figures
constexpr QRgb kGrid = qRgb(48, 48, 48);

// The sheet's ball at the centre given, through its mask, as the field draws it.
void drawBall(QImage& onto, const QImage& sheet, QPoint centre) {
    const QPoint corner = centre - QPoint(kBall / 2, kBall / 2);
    for (int y = 0; y < kBall; ++y) {
        for (int x = 0; x < kBall; ++x) {
            const QPoint at = corner + QPoint(x, y);
            if (onto.rect().contains(at) && qGray(sheet.pixel(x, y)) == 0) {
                onto.setPixel(at, sheet.pixel(kBall + x, y));
            }
        }
    }
}
} // namespace

QImage totalsChart(const std::vector<int32_t>& totals, QSize size) {
    QImage chart(size, QImage::Format_RGB32);
    chart.fill(kBoard);
    QPainter painter(&chart);
    painter.setPen(kGrid);
    for (int y = kBall / 2; y < size.height(); y += kBall / 2) {
        painter.drawLine(0, y, size.width() - 1, y);
    }
    if (totals.empty()) {
        return chart;
    }
    const auto low = std::min_element(totals.begin(), totals.end());
    // Of equal bests, the first.
    const auto high = std::max_element(totals.begin(), totals.end());
    // Room for half a ball on every side, so the best one is whole.
    const int left = kBall / 2;
    const int width = size.width() - kBall;
    const int top = kBall / 2;
    const int height = size.height() - kBall;
    const double span = std::max<double>(*high - *low, 1.0);
    QPolygon line;
    for (size_t i = 0; i < totals.size(); ++i) {
        const int x =
            totals.size() == 1
                ? size.width() / 2
                : left + static_cast<int>(i * static_cast<size_t>(width) / (totals.size() - 1));
        const int y = top + height - static_cast<int>((totals[i] - *low) * height / span);
        line << QPoint(x, y);
    }
    painter.setPen(kLine);
    painter.drawPolyline(line);
    for (const QPoint& point : line) {
        painter.fillRect(point.x() - 1, point.y() - 1, 3, 3, kLine);
    }
    painter.end();
    drawBall(chart, playerBallSheet(), line[static_cast<int>(high - totals.begin())]);
    return chart;
}

} // namespace art
