// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play_rig.h"

#include "art/pictures.h"
#include "base/key_codes.h"

#include <QTest>

class TestDrawing : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void wallBounce_data();
    void wallBounce();
    void eraseRestoresTheLastDrawnPlace();
    void restoreEdgesWipesTheTopAndLeftStrips();
    void shotsAreClippedAtTheFieldsEdge_data();
    void shotsAreClippedAtTheFieldsEdge();
    void aTickReportsWhatItChangedAndNoMore();
};

void TestDrawing::wallBounce_data() {
    QTest::addColumn<bool>("enemy");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QPoint>("velocity");
    QTest::addColumn<QPoint>("expectedPosition");
    QTest::addColumn<QPoint>("expectedVelocity");
    QTest::addColumn<int>("bounces");

    const auto row = [](const char* name, bool enemy, QPoint p, QPoint v, QPoint ep, QPoint ev,
                        int bounces) {
        QTest::newRow(name) << enemy << p << v << ep << ev << bounces;
    };
    row("on the left wall line", false, {30, 200}, {-300, 0}, {30, 200}, {-300, 0}, 0);
    row("past the left wall line", false, {29, 200}, {-300, 0}, {30, 200}, {300, 0}, 1);
    row("on the right wall line", false, {538, 200}, {300, 0}, {538, 200}, {300, 0}, 0);
    row("past the right wall line", false, {539, 200}, {300, 0}, {538, 200}, {-300, 0}, 1);
    row("on the top wall line", false, {200, 30}, {0, -500}, {200, 30}, {0, -500}, 0);
    row("past the top wall line", false, {200, 29}, {0, -500}, {200, 30}, {0, 500}, 1);
    row("on the bottom wall line", false, {200, 338}, {0, 500}, {200, 338}, {0, 500}, 0);
    row("past the bottom wall line", false, {200, 339}, {0, 500}, {200, 338}, {0, -500}, 1);
    row("past the bottom right corner", false, {545, 345}, {1800, 1200}, {538, 338}, {-1800, -1200},
        2);
    row("past the top left corner", false, {-20, 5}, {-2600, -900}, {30, 30}, {2600, 900}, 2);
    row("past a wall at rest", false, {20, 200}, {0, 0}, {30, 200}, {0, 0}, 1);
    row("moving inward past a wall", false, {29, 200}, {700, 0}, {30, 200}, {-700, 0}, 1);
    row("enemy past the right wall line", true, {539, 200}, {800, 0}, {538, 200}, {-800, 0}, 1);
    row("enemy past the bottom right corner", true, {545, 345}, {800, 700}, {538, 338},
        {-800, -700}, 2);
    row("enemy on the top wall line", true, {200, 30}, {0, -800}, {200, 30}, {0, -800}, 0);
}

void TestDrawing::wallBounce() {
    QFETCH(bool, enemy);
    QFETCH(QPoint, position);
    QFETCH(QPoint, velocity);
    QFETCH(QPoint, expectedPosition);
    QFETCH(QPoint, expectedVelocity);
    QFETCH(int, bounces);

    PlayRig rig;
    rig.load();
    Form1& f = rig.form;
    int32_t& x = enemy ? f.Boul2X : f.BoulX;
    int32_t& y = enemy ? f.Boul2Y : f.BoulY;
    int32_t& vx = enemy ? f.Boul2VX : f.BoulVX;
    int32_t& vy = enemy ? f.Boul2VY : f.BoulVY;
    x = position.x();
    y = position.y();
    vx = velocity.x();
    vy = velocity.y();
    f.kabe = 7;
    f.kabe2 = 3;
    enemy ? f.DrawBoul2() : f.DrawBoul();

    QCOMPARE(QPoint(x, y), expectedPosition);
    QCOMPARE(QPoint(vx, vy), expectedVelocity);
    QCOMPARE(f.kabe, enemy ? 7 : 7 + bounces);
    QCOMPARE(f.kabe2, enemy ? 3 + bounces : 3);
    QCOMPARE(enemy ? QPoint(f.Boul2OldX, f.Boul2OldY) : QPoint(f.BoulOldX, f.BoulOldY),
             expectedPosition);
    // Drawn where it was held, not where it was asked to be.
    const Surface& sheet = enemy ? f.Boul2pic : f.BoulPic;
    QCOMPARE(f.MainPic.pixel(x + 16, y + 16), sheet.pixel(32 + 16, 16));
}

void TestDrawing::eraseRestoresTheLastDrawnPlace() {
    PlayRig rig;
    rig.load();
    Form1& f = rig.form;
    rig.park();
    f.DrawBoul();
    f.DrawBoul2();
    f.DrawShot1();
    f.DrawShot2();
    QVERIFY(f.MainPic.image() != f.SubPic.image());

    // Positions move on; the erasers go by the last-drawn places.
    f.BoulX = f.Boul2X = f.Shot1Y = f.Shot2X = 250;
    f.EraseBoul();
    f.EraseBoul2();
    f.EraseShot1();
    f.EraseShot2();
    QCOMPARE(f.MainPic.image(), f.SubPic.image());
}

void TestDrawing::restoreEdgesWipesTheTopAndLeftStrips() {
    PlayRig rig;
    rig.load();
    Form1& f = rig.form;
    // Gunmen anywhere along the strips, also at their far ends.
    for (const int at : {0, 200, 580}) {
        f.BoulX = at;
        f.BoulY = at * 2 / 3;
        f.DrawGanman();
        f.DrawGanman2();
    }
    f.BoulY = 385;
    f.DrawGanman2();
    // Shots just fired reach 5 px out of the strips.
    f.Shot1X = 300;
    f.Shot1Y = 25;
    f.Shot2X = 25;
    f.Shot2Y = 250;
    f.DrawShot1();
    f.DrawShot2();
    // The right and bottom strips are never repainted whole.
    f.Shot1X = 585;
    f.Shot1Y = 100;
    f.Shot2X = 100;
    f.Shot2Y = 385;
    f.DrawShot1();
    f.DrawShot2();
    const QRect top(0, 0, 600, 30), left(0, 0, 30, 400);
    QVERIFY(region(f.MainPic, top) != region(f.SubPic, top));
    QVERIFY(region(f.MainPic, left) != region(f.SubPic, left));

    f.RestoreEdges();
    QCOMPARE(region(f.MainPic, top), region(f.SubPic, top));
    QCOMPARE(region(f.MainPic, left), region(f.SubPic, left));
    for (const QRect& kept : {QRect(300, 30, 10, 5), QRect(30, 250, 5, 10), QRect(585, 100, 10, 10),
                              QRect(100, 385, 10, 10)}) {
        QVERIFY2(region(f.MainPic, kept) != region(f.SubPic, kept),
                 qPrintable(QStringLiteral("%1,%2").arg(kept.x()).arg(kept.y())));
    }
}

void TestDrawing::shotsAreClippedAtTheFieldsEdge_data() {
    QTest::addColumn<bool>("rightward");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QRect>("visible");

    QTest::newRow("downward at y 395") << false << QPoint(300, 395) << QRect(300, 395, 10, 5);
    QTest::newRow("downward at y 405") << false << QPoint(300, 405) << QRect();
    QTest::newRow("downward at y 415") << false << QPoint(300, 415) << QRect();
    QTest::newRow("rightward at x 595") << true << QPoint(595, 200) << QRect(595, 200, 5, 10);
    QTest::newRow("rightward at x 605") << true << QPoint(605, 200) << QRect();
    QTest::newRow("rightward at x 615") << true << QPoint(615, 200) << QRect();
}

void TestDrawing::shotsAreClippedAtTheFieldsEdge() {
    QFETCH(bool, rightward);
    QFETCH(QPoint, position);
    QFETCH(QRect, visible);

    PlayRig rig;
    rig.load();
    Form1& f = rig.form;
    (rightward ? f.Shot2X : f.Shot1X) = position.x();
    (rightward ? f.Shot2Y : f.Shot1Y) = position.y();

    // The visible part of the shot over the field; the rest stays as it was.
    QImage expected = f.MainPic.image();
    const QImage sheet = art::shotSheet();
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const QPoint p = position + QPoint(x, y);
            if (expected.rect().contains(p) && sheet.pixel(x, y) == qRgb(0, 0, 0)) {
                QVERIFY(visible.contains(p));
                expected.setPixel(p, sheet.pixel(10 + x, y));
            }
        }
    }
    rightward ? f.DrawShot2() : f.DrawShot1();
    QCOMPARE(f.MainPic.image(), expected);
    if (!visible.isEmpty()) {
        QVERIFY(f.MainPic.image() != f.SubPic.image());
    }
}

// The window shows a tick by repainting the rectangles the field reports:
// they must hold every pixel the tick changed, and yet not the margin strips
// the tick restores whole, where only the gunmen and the shots moved.
void TestDrawing::aTickReportsWhatItChangedAndNoMore() {
    PlayRig rig;
    rig.startPlay();
    QRegion reported;
    rig.form.MainPic.changed = [&reported](const QRect& r) { reported += r; };
    const QRect top(0, 0, 600, 30), left(0, 0, 30, 400);
    for (int tick = 0; tick < 200 && rig.drive.playing(); ++tick) {
        // Keys held and switched, so the balls, gunmen and shots all move.
        rig.release(tick % 40 < 20 ? key::kLeft : key::kRight);
        rig.press(tick % 40 < 20 ? key::kRight : key::kLeft);
        rig.press(key::kDown);
        const QImage before = rig.form.MainPic.image().copy();
        reported = QRegion();
        rig.form.life = 5;
        rig.drive.tick();
        const QImage after = rig.form.MainPic.image();
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                if (before.pixel(x, y) != after.pixel(x, y) && !reported.contains(QPoint(x, y))) {
                    QFAIL(qPrintable(QStringLiteral("tick %1: (%2, %3) changed unreported")
                                         .arg(tick)
                                         .arg(x)
                                         .arg(y)));
                }
            }
        }
        QVERIFY2((reported & top) != QRegion(top), qPrintable(QString::number(tick)));
        QVERIFY2((reported & left) != QRegion(left), qPrintable(QString::number(tick)));
    }
    QVERIFY(rig.drive.ticks() >= 200);
}

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
