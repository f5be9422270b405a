// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/pictures.h"

#include <QTest>

#include <algorithm>
#include <cstdlib>

namespace {

bool near(QRgb c, int r, int g, int b, int tolerance) {
    return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance &&
           std::abs(qBlue(c) - b) <= tolerance;
}

bool isBlack(QRgb c) {
    return (c & 0xFFFFFFu) == 0;
}

// Counts the pixels of a region that satisfy a test.
template <typename Test> int count(const QImage& image, const QRect& region, Test test) {
    int n = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

QRect inclusive(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QByteArray where(int x, int y) {
    return QByteArray::number(x) + "," + QByteArray::number(y);
}

} // namespace

class TestScreenPictures : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void sizesAndNames() {
        const struct {
            const char* name;
            QSize size;
        } pictures[] = {{"scoreBoard", {891, 480}},
                        {"timesSign", {35, 37}},
                        {"equalsSign", {37, 31}},
                        {"titleLogo", {856, 105}},
                        {"highScoreHeading", {867, 187}}};
        for (const auto& p : pictures) {
            QCOMPARE(art::pictureNamed(QLatin1String(p.name)).size(), p.size);
        }
        QVERIFY(art::pictureNamed(QStringLiteral("nothing")).isNull());
        QCOMPARE(art::scoreBoard(), art::pictureNamed(QStringLiteral("scoreBoard")));
    }

    // The score screen's labels lie over the board's black, next to the
    // headings; lettering straying out of its box would show behind them.
    void scoreBoardKeepsItsLetteringInPlace() {
        const QImage board = art::scoreBoard();
        const auto inColour = [](QRgb c, art::BoardHeading::Colour colour) {
            return colour == art::BoardHeading::Colour::Gold
                       ? qRed(c) > 220 && qGreen(c) > 150 && qBlue(c) < 140
                       : qGreen(c) > 180 && qGreen(c) > qRed(c) + 30;
        };
        for (const art::BoardHeading& h : art::kBoardHeadings) {
            const QRect box = inclusive(h.left, h.top, h.right, h.bottom);
            const auto other = h.colour == art::BoardHeading::Colour::Gold
                                   ? art::BoardHeading::Colour::Green
                                   : art::BoardHeading::Colour::Gold;
            QVERIFY2(count(board, box, [&](QRgb c) { return inColour(c, h.colour); }) >
                         box.width() * box.height() / 5,
                     h.text);
            QVERIFY2(count(board, box, [&](QRgb c) { return inColour(c, other); }) == 0, h.text);
        }
        // Beyond its box only a heading's halo shows, at most 8 pixels out.
        for (int y = 0; y < board.height(); ++y)
            for (int x = 0; x < board.width(); ++x) {
                const bool nearHeading =
                    std::any_of(art::kBoardHeadings.begin(), art::kBoardHeadings.end(),
                                [x, y](const art::BoardHeading& h) {
                                    return inclusive(h.left, h.top, h.right, h.bottom)
                                        .adjusted(-8, -8, 8, 8)
                                        .contains(x, y);
                                });
                if (!nearHeading && (y < 392 || y > 397))
                    QVERIFY2(isBlack(board.pixel(x, y)), where(x, y));
            }

        // Where the numbers go, the board is black.
        QCOMPARE(count(board, inclusive(240, 130, 450, 290), isBlack), 211 * 161);
        QCOMPARE(count(board, inclusive(660, 125, 890, 365), isBlack), 231 * 241);
        QCOMPARE(count(board, inclusive(232, 416, 704, 464), isBlack), 473 * 49);

        // The rule: grey at its ends, white in the middle, nothing beside it.
        QVERIFY(near(board.pixel(48, 394), 51, 51, 51, 12));
        QVERIFY(near(board.pixel(848, 395), 51, 51, 51, 12));
        QVERIFY(near(board.pixel(448, 394), 255, 255, 255, 8));
        QVERIFY(isBlack(board.pixel(448, 390)) && isBlack(board.pixel(448, 399)));
        QVERIFY(isBlack(board.pixel(45, 394)) && isBlack(board.pixel(851, 394)));
    }

    void titleLogoRunsFromBlueToRed() {
        const QImage logo = art::titleLogo();
        const QRect box = inclusive(19, 20, 840, 87);
        const auto white = [](QRgb c) { return (c & 0xFFFFFFu) == 0xFFFFFFu; };
        QCOMPARE(count(logo, logo.rect(), white), logo.width() * logo.height() -
                                                      box.width() * box.height() +
                                                      count(logo, box, white));
        const auto blue = [](QRgb c) { return qBlue(c) > qRed(c) + 80; };
        const auto red = [](QRgb c) { return qRed(c) > qBlue(c) + 80; };
        QVERIFY(count(logo, inclusive(19, 20, 200, 87), blue) > 1000);
        QCOMPARE(count(logo, inclusive(19, 20, 200, 87), red), 0);
        QVERIFY(count(logo, inclusive(660, 20, 840, 87), red) > 1000);
        QCOMPARE(count(logo, inclusive(660, 20, 840, 87), blue), 0);
    }

    // Copper-rose letters averaging about (133, 87, 79) within 20, counting
    // only the letters' solid pixels, not their antialiased rims.
    void highScoreHeadingIsCopperOnBlack() {
        const QImage heading = art::highScoreHeading();
        const QRect box = inclusive(23, 4, 447, 77);
        const int lit = count(heading, heading.rect(), [](QRgb c) { return !isBlack(c); });
        QCOMPARE(count(heading, box, [](QRgb c) { return !isBlack(c); }), lit);
        QVERIFY(lit > 5000);
        double sum[3] = {0, 0, 0};
        int solid = 0;
        for (int y = box.top() + 1; y < box.bottom(); ++y)
            for (int x = box.left() + 1; x < box.right(); ++x) {
                const bool inside =
                    !isBlack(heading.pixel(x - 1, y)) && !isBlack(heading.pixel(x + 1, y)) &&
                    !isBlack(heading.pixel(x, y - 1)) && !isBlack(heading.pixel(x, y + 1));
                if (!inside)
                    continue;
                const QRgb c = heading.pixel(x, y);
                sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c);
                ++solid;
            }
        const QRgb mean = qRgb(int(sum[0] / solid), int(sum[1] / solid), int(sum[2] / solid));
        QVERIFY2(near(mean, 133, 87, 79, 20), QByteArray::number(mean, 16));
        QVERIFY(count(heading, box, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 120; }) > 50);
    }

    // Both signs glow pale yellow-white at their centre line on (7, 0, 20);
    // the centre within 10, the corners exactly.
    void signsGlowOnTheirBackground() {
        const struct {
            QImage sign;
            QPoint centre;
        } signs[] = {{art::timesSign(), {17, 18}}, {art::equalsSign(), {18, 11}}};
        for (const auto& s : signs) {
            QVERIFY(near(s.sign.pixel(s.centre), 255, 252, 220, 10));
            const QRect r = s.sign.rect();
            for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
                QCOMPARE(s.sign.pixel(corner), qRgb(7, 0, 20));
            QVERIFY(count(s.sign, r, [](QRgb c) { return qRed(c) > 200 && qBlue(c) < 80; }) > 10);
        }
    }
};

QTEST_MAIN(TestScreenPictures)
#include "test_screen_pictures.moc"
