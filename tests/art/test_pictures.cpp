// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/icon.h"
#include "art/pictures.h"

#include <QDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// Opaque columns of the ball's top half; the bottom half mirrors it.
const int kBallHalf[16][2] = {{12, 19}, {9, 22}, {7, 24}, {6, 25}, {4, 27}, {4, 27},
                              {3, 28},  {2, 29}, {2, 29}, {1, 30}, {1, 30}, {1, 30},
                              {0, 31},  {0, 31}, {0, 31}, {0, 31}};
const int kShotHalf[5][2] = {{3, 6}, {2, 7}, {1, 8}, {0, 9}, {0, 9}};

bool inBall(int x, int y) {
    const int row = y < 16 ? y : 31 - y;
    return x >= kBallHalf[row][0] && x <= kBallHalf[row][1];
}

bool inShot(int x, int y) {
    const int row = y < 5 ? y : 9 - y;
    return x >= kShotHalf[row][0] && x <= kShotHalf[row][1];
}

bool inTopGunman(int x, int y) {
    return y <= 16 || (x >= 10 && x <= 14);
}
bool inLeftGunman(int x, int y) {
    return x <= 15 || (y >= 10 && y <= 14);
}

bool near(QRgb c, int r, int g, int b, int tolerance) {
    return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance &&
           std::abs(qBlue(c) - b) <= tolerance;
}

QByteArray describe(QRgb c) {
    return QByteArray::number(qRed(c)) + "," + QByteArray::number(qGreen(c)) + "," +
           QByteArray::number(qBlue(c));
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void sheetsHaveExactMasksAndBlackImageOutside_data();
    void sheetsHaveExactMasksAndBlackImageOutside();
    void spriteColours();
    void playFieldColours();
    void bannerMaskMatchesPicture();
    void bannerLooks();
    void programIconShowsBothBalls();
    void savePreviews();
};

void TestPictures::sheetsHaveExactMasksAndBlackImageOutside_data() {
    QTest::addColumn<QImage>("sheet");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<std::function<bool(int, int)>>("opaque");
    using Shape = std::function<bool(int, int)>;
    QTest::newRow("player ball") << art::playerBallSheet() << 32 << 32 << Shape(inBall);
    QTest::newRow("enemy ball") << art::enemyBallSheet() << 32 << 32 << Shape(inBall);
    QTest::newRow("top gunman") << art::topGunmanSheet() << 25 << 25 << Shape(inTopGunman);
    QTest::newRow("left gunman") << art::leftGunmanSheet() << 25 << 25 << Shape(inLeftGunman);
    QTest::newRow("shot") << art::shotSheet() << 10 << 10 << Shape(inShot);
}

void TestPictures::sheetsHaveExactMasksAndBlackImageOutside() {
    QFETCH(QImage, sheet);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(std::function<bool(int, int)>, opaque);

    QCOMPARE(sheet.size(), QSize(2 * w, h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb mask = sheet.pixel(x, y);
            const QRgb image = sheet.pixel(w + x, y);
            const QByteArray where = "at " + QByteArray::number(x) + "," + QByteArray::number(y);
            // Exactly black or white, so AND keeps or clears every bit.
            QVERIFY2(mask == (opaque(x, y) ? kBlack : kWhite), where + " mask " + describe(mask));
            if (!opaque(x, y))
                QVERIFY2(image == kBlack, where + " image " + describe(image));
            else // our sprites have no black pixels; black would be a leak of the fill
                QVERIFY2(image != kBlack, where + " image is black inside the shape");
        }
    }
}

// Named colours must match within 25 per channel; the barrel greys exactly.
void TestPictures::spriteColours() {
    const QImage player = art::playerBallSheet(), enemy = art::enemyBallSheet();
    const QImage top = art::topGunmanSheet(), left = art::leftGunmanSheet();
    const QImage shot = art::shotSheet();
    struct Probe {
        const char* what;
        QRgb actual;
        int r, g, b;
    };
    const Probe probes[] = {
        {"red ball, lit upper right", player.pixel(32 + 24, 6), 255, 0, 0},
        {"red ball, centre", player.pixel(32 + 16, 16), 176, 8, 0},
        {"red ball, lower left rim", player.pixel(32 + 4, 27), 50, 16, 16},
        {"blue ball, lit upper right", enemy.pixel(32 + 24, 6), 0, 85, 240},
        {"blue ball, centre", enemy.pixel(32 + 16, 16), 8, 62, 170},
        {"top gunman, orange at left", top.pixel(25 + 0, 2), 255, 178, 102},
        {"top gunman, orange at right", top.pixel(25 + 24, 14), 141, 88, 36},
        {"top gunman, violet at left", top.pixel(25 + 0, 8), 165, 164, 174},
        {"left gunman, orange at top", left.pixel(25 + 1, 0), 255, 178, 102},
        {"left gunman, violet at top", left.pixel(25 + 7, 0), 165, 164, 174},
        {"shot, upper left", shot.pixel(10 + 1, 2), 165, 216, 255},
        {"shot, lower right", shot.pixel(10 + 8, 7), 66, 127, 255},
    };
    for (const Probe& p : probes)
        QVERIFY2(near(p.actual, p.r, p.g, p.b, 25), p.what + QByteArray(" ") + describe(p.actual));

    // The barrel: five greys, darkest first, from inside the violet stripe to the edge.
    const int greys[5] = {76, 102, 127, 153, 178};
    for (int i = 0; i < 5; ++i) {
        const QRgb grey = qRgb(greys[i], greys[i], greys[i]);
        QCOMPARE(top.pixel(25 + 10 + i, 6), grey);
        QCOMPARE(top.pixel(25 + 10 + i, 24), grey);
        QCOMPARE(left.pixel(25 + 5, 10 + i), grey);
        QCOMPARE(left.pixel(25 + 24, 10 + i), grey);
    }
    QVERIFY(top.pixel(25 + 10, 5) != top.pixel(25 + 10, 6));
    QVERIFY(left.pixel(25 + 4, 10) != left.pixel(25 + 5, 10));
}

void TestPictures::playFieldColours() {
    const QImage field = art::playField();
    QCOMPARE(field.size(), QSize(600, 400));
    QCOMPARE(field.format(), QImage::Format_RGB32);

    // Inner area: lavender on average (+-8), with a lattice lighter than the ground.
    double sum[3] = {0, 0, 0};
    int lighter = 0, count = 0;
    for (int y = 30; y < 370; ++y) {
        for (int x = 30; x < 570; ++x) {
            const QRgb c = field.pixel(x, y);
            sum[0] += qRed(c);
            sum[1] += qGreen(c);
            sum[2] += qBlue(c);
            lighter += qRed(c) > 220 ? 1 : 0;
            ++count;
        }
    }
    QVERIFY2(std::abs(sum[0] / count - 215) <= 8 && std::abs(sum[1] / count - 220) <= 8 &&
                 std::abs(sum[2] / count - 240) <= 8,
             QByteArray::number(sum[0] / count) + "," + QByteArray::number(sum[1] / count) + "," +
                 QByteArray::number(sum[2] / count));
    QVERIFY(lighter > count / 50 && lighter < count / 3);

    // Frame: typical (median) pixel tan within 20; dark cracks present but not dominant.
    std::vector<int> reds, greens, blues;
    int cracks = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) {
            if (x >= 30 && x < 570 && y >= 30 && y < 370)
                continue;
            const QRgb c = field.pixel(x, y);
            reds.push_back(qRed(c));
            greens.push_back(qGreen(c));
            blues.push_back(qBlue(c));
            cracks += qRed(c) < 110 ? 1 : 0;
        }
    }
    auto median = [](std::vector<int>& v) {
        std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    const int n = static_cast<int>(reds.size());
    QVERIFY2(std::abs(median(reds) - 200) <= 20 && std::abs(median(greens) - 155) <= 20 &&
                 std::abs(median(blues) - 120) <= 20,
             QByteArray::number(median(reds)) + "," + QByteArray::number(median(greens)) + "," +
                 QByteArray::number(median(blues)));
    QVERIFY2(cracks > n / 30 && cracks < n / 4,
             QByteArray::number(cracks) + " of " + QByteArray::number(n));
}

// The banner shows picture pixels wherever the mask is not black, so the two
// must agree exactly: a non-white picture pixel with a black mask would be
// cut off, a white one with a non-black mask would show as a white fleck.
void TestPictures::bannerMaskMatchesPicture() {
    const QImage picture = art::bannerPicture();
    const QImage mask = art::bannerMask();
    QCOMPARE(picture.size(), QSize(158, 63));
    QCOMPARE(mask.size(), QSize(158, 63));
    int inside = 0;
    for (int y = 0; y < 63; ++y) {
        for (int x = 0; x < 158; ++x) {
            const bool shown = picture.pixel(x, y) != kWhite;
            const bool masked = mask.pixel(x, y) == kBlack;
            const QByteArray where = QByteArray::number(x) + "," + QByteArray::number(y);
            QVERIFY2(shown != masked, "at " + where);
            if (shown) {
                ++inside;
                QVERIFY2(x >= 3 && x <= 155 && y >= 3 && y <= 60, "outside the box at " + where);
            }
        }
    }
    QVERIFY2(inside > 158 * 63 / 4, QByteArray::number(inside)); // the word fills the banner
}

void TestPictures::bannerLooks() {
    // Teal letters (green and blue well above red) averaging about (96, 170, 169)
    // within 25, and a neutral grey shadow that lies below and right of them.
    const QImage picture = art::bannerPicture();
    double sum[3] = {0, 0, 0};
    int teal = 0, grey = 0;
    double tealX = 0, greyX = 0, tealY = 0, greyY = 0;
    for (int y = 0; y < 63; ++y) {
        for (int x = 0; x < 158; ++x) {
            const QRgb c = picture.pixel(x, y);
            if (c == kWhite)
                continue;
            if (qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) {
                ++grey;
                greyX += x;
                greyY += y;
            } else {
                QVERIFY2(qGreen(c) > qRed(c) && qBlue(c) > qRed(c), describe(c));
                ++teal;
                tealX += x;
                tealY += y;
                sum[0] += qRed(c);
                sum[1] += qGreen(c);
                sum[2] += qBlue(c);
            }
        }
    }
    QVERIFY(teal > 0 && grey > teal / 5);
    QVERIFY2(std::abs(sum[0] / teal - 96) <= 25 && std::abs(sum[1] / teal - 170) <= 25 &&
                 std::abs(sum[2] / teal - 169) <= 25,
             QByteArray::number(sum[0] / teal) + "," + QByteArray::number(sum[1] / teal) + "," +
                 QByteArray::number(sum[2] / teal));
    QVERIFY(greyX / grey > tealX / teal + 1 && greyY / grey > tealY / teal + 1);
}

// The game's picture, not a filled square: rounded corners, the red ball and
// the blue one on the pale field, at the smallest and the largest size.
void TestPictures::programIconShowsBothBalls() {
    const QIcon icon = art::programIcon();
    for (const int size : {16, 256}) {
        const QImage glyph = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(glyph.size(), QSize(size, size));
        const auto at = [&](double x, double y) {
            return glyph.pixel(static_cast<int>(x * size / 64), static_cast<int>(y * size / 64));
        };
        // The rounded corner covers a little of the 16-pixel icon's corner.
        QVERIFY(qAlpha(at(0, 0)) < 64 && qAlpha(at(63, 63)) < 64);
        const QRgb red = at(42, 22), blue = at(26, 38), field = at(50, 50);
        QVERIFY2(qRed(red) > qBlue(red) + 120 && qRed(red) > qGreen(red) + 120, describe(red));
        QVERIFY2(qBlue(blue) > qRed(blue) + 100, describe(blue));
        QVERIFY2(qAlpha(field) == 255 && qRed(field) > 200 && qBlue(field) > 230, describe(field));
    }
}

// Not a check of the pictures themselves: writes them out for a look by eye.
void TestPictures::savePreviews() {
    const QString dir = QStringLiteral(SPINMARSH_BUILD_DIR "/art-preview");
    QVERIFY(QDir().mkpath(dir));
    const std::pair<const char*, QImage> pictures[] = {
        {"player_ball", art::playerBallSheet()},
        {"enemy_ball", art::enemyBallSheet()},
        {"top_gunman", art::topGunmanSheet()},
        {"left_gunman", art::leftGunmanSheet()},
        {"shot", art::shotSheet()},
        {"play_field", art::playField()},
        {"banner", art::bannerPicture()},
        {"banner_mask", art::bannerMask()},
    };
    for (const auto& [name, image] : pictures) {
        QVERIFY(image.save(dir + "/" + name + ".png"));
        const int zoom = image.width() < 100 ? 8 : image.width() < 200 ? 4 : 1;
        QVERIFY(image.scaled(image.size() * zoom).save(dir + "/" + name + "_zoom.png"));
    }
    QVERIFY(art::programIcon().pixmap(256).save(dir + "/icon.png"));
}

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
