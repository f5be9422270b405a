// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/pictures.h"
#include "platform/rect.h"
#include "platform/surface.h"

#include <QTest>

#include <functional>

namespace {

QImage filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Every pixel different, so a copy that pairs the wrong pixels shows.
QImage numbered(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, qRgb(16 * x + 1, 16 * y + 1, 0x5A));
        }
    }
    return image;
}

} // namespace

class TestSurface : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void rasterOperations_data();
    void rasterOperations();
    void clipping_data();
    void clipping();
    void intersectRect_data();
    void intersectRect();
    void drawingASpriteTwiceEqualsOnce_data();
    void drawingASpriteTwiceEqualsOnce();
    void wideCopies_data();
    void wideCopies();
    void copyReportsOnlyWhatChanged_data();
    void copyReportsOnlyWhatChanged();
};

void TestSurface::rasterOperations_data() {
    QTest::addColumn<unsigned>("rop");
    QTest::addColumn<QRgb>("destination");
    QTest::addColumn<QRgb>("source");
    QTest::addColumn<QRgb>("expected");

    QTest::newRow("copy") << SRCCOPY << 0xFF123456u << 0xFF0F0F0Fu << 0xFF0F0F0Fu;
    QTest::newRow("and") << SRCAND << 0xFF123456u << 0xFF0F0FF0u << 0xFF020450u;
    QTest::newRow("and with black clears") << SRCAND << 0xFF123456u << 0xFF000000u << 0xFF000000u;
    QTest::newRow("xor") << SRCINVERT << 0xFF123456u << 0xFF0F0FF0u << 0xFF1D3BA6u;
    // Both alphas are 0xFF: a plain XOR would leave a transparent pixel.
    QTest::newRow("xor with itself is opaque black")
        << SRCINVERT << 0xFF123456u << 0xFF123456u << 0xFF000000u;
    QTest::newRow("xor with black keeps") << SRCINVERT << 0xFF123456u << 0xFF000000u << 0xFF123456u;
}

void TestSurface::rasterOperations() {
    QFETCH(unsigned, rop);
    QFETCH(QRgb, destination);
    QFETCH(QRgb, source);
    QFETCH(QRgb, expected);

    // The neighbours of the copied column must stay untouched.
    Surface dst(filled(3, 2, 0xFF777777u));
    BitBlt(dst, 1, 0, 1, 2, Surface(filled(1, 2, destination)), 0, 0, SRCCOPY);
    BitBlt(dst, 1, 0, 1, 2, Surface(filled(1, 2, source)), 0, 0, rop);

    for (int y = 0; y < 2; ++y) {
        // Read the stored word: QImage::pixel() would hide a wrong alpha byte.
        QCOMPARE(reinterpret_cast<const QRgb*>(dst.image().constScanLine(y))[1], expected);
        QCOMPARE(dst.pixel(0, y), 0xFF777777u);
        QCOMPARE(dst.pixel(2, y), 0xFF777777u);
    }
}

// The copy against a naive model: every pixel of the rectangle that lies
// inside both surfaces is copied, nothing else changes.
void TestSurface::clipping_data() {
    QTest::addColumn<int>("xd");
    QTest::addColumn<int>("yd");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("xs");
    QTest::addColumn<int>("ys");

    QTest::newRow("inside") << 2 << 1 << 4 << 4 << 0 << 0;
    QTest::newRow("over the left edge") << -2 << 1 << 4 << 4 << 0 << 0;
    QTest::newRow("over the top edge") << 1 << -3 << 4 << 4 << 0 << 0;
    QTest::newRow("over the right edge") << 6 << 1 << 4 << 4 << 0 << 0;
    QTest::newRow("over the bottom edge") << 1 << 4 << 4 << 4 << 0 << 0;
    QTest::newRow("over a corner") << -1 << 5 << 4 << 4 << 0 << 0;
    QTest::newRow("larger than the destination") << -3 << -3 << 14 << 12 << 0 << 0;
    QTest::newRow("wholly left") << -4 << 1 << 4 << 4 << 0 << 0;
    QTest::newRow("wholly right") << 8 << 1 << 4 << 4 << 0 << 0;
    QTest::newRow("wholly below") << 1 << 6 << 4 << 4 << 0 << 0;
    QTest::newRow("source offset") << 1 << 1 << 3 << 3 << 2 << 1;
    QTest::newRow("source negative") << 1 << 1 << 4 << 4 << -2 << -1;
    QTest::newRow("source beyond its right and bottom") << 0 << 0 << 5 << 5 << 3 << 3;
    QTest::newRow("both clipped") << -1 << 3 << 5 << 5 << 2 << -1;
}

void TestSurface::clipping() {
    QFETCH(int, xd);
    QFETCH(int, yd);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, xs);
    QFETCH(int, ys);

    const QRgb background = 0xFF202020u;
    const QImage source = numbered(5, 5);
    QImage expected = filled(8, 6, background);
    QRect written;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QPoint s(xs + x, ys + y), d(xd + x, yd + y);
            if (source.rect().contains(s) && expected.rect().contains(d)) {
                expected.setPixel(d, source.pixel(s));
                written |= QRect(d, QSize(1, 1));
            }
        }
    }

    Surface dst(filled(8, 6, background));
    QList<QRect> reported;
    dst.changed = [&reported](const QRect& r) { reported << r; };
    BitBlt(dst, xd, yd, w, h, Surface(source), xs, ys, SRCCOPY);

    QCOMPARE(dst.image(), expected);
    // The window repaints what the copy reports: exactly the changed part.
    QCOMPARE(reported, written.isEmpty() ? QList<QRect>{} : QList<QRect>{written});
}

void TestSurface::intersectRect_data() {
    QTest::addColumn<RECT>("a");
    QTest::addColumn<RECT>("b");
    QTest::addColumn<RECT>("expected");

    const RECT empty{0, 0, 0, 0};
    QTest::newRow("overlap") << RECT{10, 20, 50, 60} << RECT{40, 30, 90, 100}
                             << RECT{40, 30, 50, 60};
    QTest::newRow("contained") << RECT{10, 20, 50, 60} << RECT{15, 25, 20, 30}
                               << RECT{15, 25, 20, 30};
    QTest::newRow("one shared pixel")
        << RECT{10, 10, 42, 42} << RECT{41, 41, 73, 73} << RECT{41, 41, 42, 42};
    QTest::newRow("touching side by side") << RECT{10, 10, 42, 42} << RECT{42, 10, 74, 42} << empty;
    QTest::newRow("touching one above the other")
        << RECT{10, 10, 42, 42} << RECT{10, 42, 42, 74} << empty;
    QTest::newRow("apart") << RECT{10, 10, 20, 20} << RECT{100, 100, 110, 110} << empty;
    QTest::newRow("negative corner")
        << RECT{-10, -10, 5, 5} << RECT{-20, -3, 0, 30} << RECT{-10, -3, 0, 5};
    // Overlapping at the top row: the result is real and its top edge is 0.
    QTest::newRow("both at the origin")
        << RECT{0, 0, 10, 10} << RECT{0, 0, 10, 10} << RECT{0, 0, 10, 10};
}

void TestSurface::intersectRect() {
    QFETCH(RECT, a);
    QFETCH(RECT, b);
    QFETCH(RECT, expected);

    for (const auto& [first, second] : {std::pair{a, b}, std::pair{b, a}}) {
        RECT out{7, 7, 7, 7}; // whatever was there before is replaced
        const bool overlap = IntersectRect(out, first, second);
        QVERIFY(out == expected);
        QCOMPARE(overlap, !(expected == RECT{}));
    }
}

void TestSurface::drawingASpriteTwiceEqualsOnce_data() {
    QTest::addColumn<QImage>("sheet");
    QTest::newRow("player ball") << art::playerBallSheet();
    QTest::newRow("enemy ball") << art::enemyBallSheet();
    QTest::newRow("top gunman") << art::topGunmanSheet();
    QTest::newRow("left gunman") << art::leftGunmanSheet();
    QTest::newRow("shot") << art::shotSheet();
}

// The game's sprite scheme: mask by AND, image by XOR. Around the shape the
// field shows through; inside it the sprite's own colours, however often it
// is drawn.
void TestSurface::drawingASpriteTwiceEqualsOnce() {
    QFETCH(QImage, sheet);
    const Surface sprite(sheet);
    const int w = sheet.width() / 2, h = sheet.height();
    const Surface field(art::playField());
    const QPoint at(20, 17); // over both the frame and the inner area

    Surface main = field;
    const auto draw = [&] {
        BitBlt(main, at.x(), at.y(), w, h, sprite, 0, 0, SRCAND);
        BitBlt(main, at.x(), at.y(), w, h, sprite, w, 0, SRCINVERT);
    };
    draw();
    const QImage once = main.image();
    draw();
    QCOMPARE(main.image(), once);

    int shown = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool opaque = sprite.pixel(x, y) == qRgb(0, 0, 0);
            const QRgb expected =
                opaque ? sprite.pixel(w + x, y) : field.pixel(at.x() + x, at.y() + y);
            QCOMPARE(once.pixel(at.x() + x, at.y() + y), expected);
            shown += opaque ? 1 : 0;
        }
    }
    QVERIFY(shown > 0);
    QCOMPARE(once.copy(0, 0, 600, at.y()), field.image().copy(0, 0, 600, at.y()));
}

// Rows wide enough for the copies' fast paths (several pixels at once, whole
// rows at once, a surface onto itself) against one pixel at a time, top row
// first, each pixel read as it stands when its turn comes.
void TestSurface::wideCopies_data() {
    QTest::addColumn<unsigned>("rop");
    QTest::addColumn<QRect>("rect"); // destination place and size
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<bool>("ontoItself");

    for (const auto& [name, rop] :
         {std::pair{"copy", SRCCOPY}, std::pair{"and", SRCAND}, std::pair{"xor", SRCINVERT}}) {
        const QByteArray n(name);
        QTest::newRow(n + ", whole rows") << rop << QRect(0, 2, 11, 3) << QPoint(0, 1) << false;
        QTest::newRow(n + ", clipped wide") << rop << QRect(-2, 1, 11, 4) << QPoint(1, 0) << false;
        QTest::newRow(n + ", onto itself, up") << rop << QRect(1, 0, 9, 5) << QPoint(2, 1) << true;
        if (rop != SRCCOPY) {
            // Within a row, each pixel sees those just written to its left.
            QTest::newRow(n + ", onto itself, right")
                << rop << QRect(2, 1, 9, 4) << QPoint(1, 1) << true;
            QTest::newRow(n + ", onto itself, left")
                << rop << QRect(0, 1, 9, 4) << QPoint(2, 1) << true;
        }
    }
}

void TestSurface::wideCopies() {
    QFETCH(unsigned, rop);
    QFETCH(QRect, rect);
    QFETCH(QPoint, from);
    QFETCH(bool, ontoItself);

    // Stored words, alpha byte included: comparing the pictures would hide it.
    const auto words = [](const QImage& image) {
        QList<QRgb> all;
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            all.append(QList<QRgb>(row, row + image.width()));
        }
        return all;
    };
    const QImage destinationPicture = numbered(11, 6);
    const QImage sourcePicture = destinationPicture.mirrored(true, false);
    QList<QRgb> expected = words(destinationPicture);
    const QList<QRgb> otherSource = words(sourcePicture);
    const QRect area(0, 0, 11, 6);
    for (int y = 0; y < rect.height(); ++y) {
        for (int x = 0; x < rect.width(); ++x) {
            const QPoint s = from + QPoint(x, y), d = rect.topLeft() + QPoint(x, y);
            if (!area.contains(s) || !area.contains(d)) {
                continue;
            }
            const QRgb a = expected[d.y() * 11 + d.x()];
            const QRgb b = (ontoItself ? expected : otherSource)[s.y() * 11 + s.x()];
            expected[d.y() * 11 + d.x()] = rop == SRCCOPY  ? b
                                           : rop == SRCAND ? (a & b) | 0xFF000000u
                                                           : (a ^ b) | 0xFF000000u;
        }
    }

    Surface dst(destinationPicture);
    const Surface src(sourcePicture);
    BitBlt(dst, rect.x(), rect.y(), rect.width(), rect.height(), ontoItself ? dst : src, from.x(),
           from.y(), rop);
    QCOMPARE(words(dst.image()), expected);
}

// The window repaints what a copy reports, so a copy from another surface
// reports the rectangles of the pixels it changed, one per run of rows, and
// nothing where the destination already held the source's pixels.
void TestSurface::copyReportsOnlyWhatChanged_data() {
    QTest::addColumn<QList<QPoint>>("differing"); // pixels of the destination unlike the source
    QTest::addColumn<QList<QRect>>("expected");

    QTest::newRow("nothing differs") << QList<QPoint>{} << QList<QRect>{};
    QTest::newRow("one pixel") << QList<QPoint>{{3, 2}} << QList<QRect>{{3, 2, 1, 1}};
    QTest::newRow("both ends of a row")
        << QList<QPoint>{{0, 4}, {9, 4}} << QList<QRect>{{0, 4, 10, 1}};
    QTest::newRow("one run of rows")
        << QList<QPoint>{{2, 1}, {6, 2}, {4, 3}} << QList<QRect>{{2, 1, 5, 3}};
    QTest::newRow("two runs apart")
        << QList<QPoint>{{1, 0}, {2, 1}, {7, 5}} << QList<QRect>{{1, 0, 2, 2}, {7, 5, 1, 1}};
    QTest::newRow("the corners") << QList<QPoint>{{0, 0}, {9, 0}, {0, 6}, {9, 6}}
                                 << QList<QRect>{{0, 0, 10, 1}, {0, 6, 10, 1}};
}

void TestSurface::copyReportsOnlyWhatChanged() {
    QFETCH(QList<QPoint>, differing);
    QFETCH(QList<QRect>, expected);

    // The copy lies at (3, 2) of a larger surface, from (1, 1) of the source.
    const QPoint at(3, 2), from(1, 1);
    const Surface source(numbered(12, 9));
    QImage copied = filled(16, 11, 0xFF202020u);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 10; ++x) {
            copied.setPixel(at + QPoint(x, y), source.pixel(from.x() + x, from.y() + y));
        }
    }
    QImage start = copied;
    for (const QPoint& p : differing) {
        start.setPixel(at + p, 0xFF000000u);
    }
    Surface dst(start);
    QList<QRect> reported;
    dst.changed = [&reported](const QRect& r) { reported << r; };
    BitBlt(dst, at.x(), at.y(), 10, 7, source, from.x(), from.y(), SRCCOPY);

    QCOMPARE(dst.image(), copied);
    for (QRect& r : expected) {
        r.translate(at);
    }
    QCOMPARE(reported, expected);
}

QTEST_MAIN(TestSurface)
#include "test_surface.moc"
