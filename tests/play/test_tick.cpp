// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play_rig.h"

#include <QTest>

namespace {

void applyKeys(PlayRig& rig, const QStringList& events) {
    for (const QString& event : events) {
        const QStringList w = event.split(QLatin1Char(' '));
        const int key = w[1].toInt();
        w[0] == QLatin1String("down") ? rig.press(key) : rig.release(key);
    }
}

} // namespace

class TestTick : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void keysAccelerateTheBall_data();
    void keysAccelerateTheBall();
    void reversingFromFullSpeed();
    void halfPixelStepsGoToTheEvenNeighbour_data();
    void halfPixelStepsGoToTheEvenNeighbour();
    void enemyChasesTheBall_data();
    void enemyChasesTheBall();
    void raisedCapsSinkBack();
    void shotsFireEvery40And60Ticks();
};

void TestTick::keysAccelerateTheBall_data() {
    QTest::addColumn<QStringList>("events"); // before the first tick
    QTest::addColumn<Ints>("vx");
    QTest::addColumn<Ints>("vy");
    QTest::addColumn<Ints>("x");
    QTest::addColumn<Ints>("y");
    QTest::addColumn<Ints>("moves");

    const Ints none{0, 0, 0, 0, 0};
    const Ints fwd{500, 1000, 1500, 1800, 1800}, back{-500, -1000, -1500, -1800, -1800};
    const Ints xAt{316, 316, 316, 316, 316}, yAt{216, 216, 216, 216, 216};
    const Ints one{0, 0, 0, 1, 2}, two{0, 0, 0, 2, 4};
    const Ints right{321, 331, 346, 364, 382}, left{311, 301, 286, 268, 250};
    const Ints down{221, 231, 246, 264, 282}, up{211, 201, 186, 168, 150};

    QTest::newRow("right") << QStringList{"down 39"} << fwd << none << right << yAt << one;
    QTest::newRow("left") << QStringList{"down 37"} << back << none << left << yAt << one;
    QTest::newRow("up") << QStringList{"down 38"} << none << back << xAt << up << one;
    QTest::newRow("down") << QStringList{"down 40"} << none << fwd << xAt << down << one;
    QTest::newRow("right and down")
        << QStringList{"down 39", "down 40"} << fwd << fwd << right << down << two;
    QTest::newRow("the later key of an axis wins")
        << QStringList{"down 37", "down 39"} << fwd << none << right << yAt << one;
    QTest::newRow("releasing either key clears the axis")
        << QStringList{"down 39", "up 37"} << none << none << xAt << yAt << none;
    QTest::newRow("left still held after right is released")
        << QStringList{"down 37", "down 39", "up 39"} << none << none << xAt << yAt << none;
    QTest::newRow("the other axis keeps its key")
        << QStringList{"down 39", "down 38", "up 40"} << fwd << none << right << yAt << one;
    QTest::newRow("a tap shorter than a tick")
        << QStringList{"down 39", "up 39"} << none << none << xAt << yAt << none;
    QTest::newRow("other keys") << QStringList{"down 13", "down 32", "down 65", "down 16"} << none
                                << none << xAt << yAt << none;
}

void TestTick::keysAccelerateTheBall() {
    QFETCH(QStringList, events);
    QFETCH(Ints, vx);
    QFETCH(Ints, vy);
    QFETCH(Ints, x);
    QFETCH(Ints, y);
    QFETCH(Ints, moves);

    PlayRig rig;
    rig.startPlay();
    applyKeys(rig, events);
    Ints gotVx, gotVy, gotX, gotY, gotMoves;
    for (int n = 0; n < 5; ++n) {
        rig.form.Timer1_Timer();
        gotVx << rig.form.BoulVX;
        gotVy << rig.form.BoulVY;
        gotX << rig.form.BoulX;
        gotY << rig.form.BoulY;
        gotMoves << rig.form.Moves;
    }
    QCOMPARE(gotVx, vx);
    QCOMPARE(gotVy, vy);
    QCOMPARE(gotX, x);
    QCOMPARE(gotY, y);
    QCOMPARE(gotMoves, moves);
}

void TestTick::reversingFromFullSpeed() {
    PlayRig rig;
    rig.startPlay();
    Form1& f = rig.form;
    f.BoulVX = 1800;
    rig.press(37);
    Ints vx, x;
    for (int n = 0; n < 8; ++n) {
        f.Timer1_Timer();
        vx << f.BoulVX;
        x << f.BoulX;
    }
    QCOMPARE(vx, Ints({1300, 800, 300, -200, -700, -1200, -1700, -1800}));
    QCOMPARE(x, Ints({329, 337, 340, 338, 331, 319, 302, 284}));
    QCOMPARE(f.Moves, 1);

    // No friction: without a key the ball keeps going, still at full speed.
    rig.release(37);
    rig.ticks(2);
    QCOMPARE(f.BoulVX, -1800);
    QCOMPARE(f.BoulX, 248);
    QCOMPARE(f.Moves, 3);
}

void TestTick::halfPixelStepsGoToTheEvenNeighbour_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("velocity");
    QTest::addColumn<int>("expected");
    for (const bool vertical : {false, true}) {
        const char* axis = vertical ? "y" : "x";
        QTest::addRow("%s 100 - 2.5", axis) << vertical << 100 << -250 << 98;
        QTest::addRow("%s 100 + 2.5", axis) << vertical << 100 << 250 << 102;
        QTest::addRow("%s 101 - 2.5", axis) << vertical << 101 << -250 << 98;
        QTest::addRow("%s 101 + 2.5", axis) << vertical << 101 << 250 << 104;
    }
}

void TestTick::halfPixelStepsGoToTheEvenNeighbour() {
    QFETCH(bool, vertical);
    QFETCH(int, start);
    QFETCH(int, velocity);
    QFETCH(int, expected);

    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    (vertical ? f.BoulY : f.BoulX) = start;
    (vertical ? f.BoulVY : f.BoulVX) = velocity;
    f.Timer1_Timer();
    QCOMPARE(vertical ? f.BoulY : f.BoulX, expected);
    QCOMPARE(vertical ? f.BoulX : f.BoulY, vertical ? 300 : 200);
}

void TestTick::enemyChasesTheBall_data() {
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QPoint>("velocity");
    QTest::addColumn<QPoint>("expectedVelocity");
    QTest::addColumn<QPoint>("expectedPosition");

    // The player ball sits at rest at (300, 200).
    QTest::newRow("level on x: x velocity unchanged")
        << QPoint(300, 100) << QPoint(300, -200) << QPoint(300, -100) << QPoint(306, 98);
    QTest::newRow("level on y: y velocity unchanged")
        << QPoint(100, 200) << QPoint(-300, 250) << QPoint(-200, 250) << QPoint(96, 205);
    QTest::newRow("above and left")
        << QPoint(100, 100) << QPoint(0, 0) << QPoint(100, 100) << QPoint(102, 102);
    QTest::newRow("below and right")
        << QPoint(450, 300) << QPoint(0, 0) << QPoint(-100, -100) << QPoint(448, 298);
    QTest::newRow("held at the cap of 800")
        << QPoint(100, 100) << QPoint(800, -800) << QPoint(800, -700) << QPoint(116, 86);
}

void TestTick::enemyChasesTheBall() {
    QFETCH(QPoint, position);
    QFETCH(QPoint, velocity);
    QFETCH(QPoint, expectedVelocity);
    QFETCH(QPoint, expectedPosition);

    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    f.Boul2X = f.Boul2OldX = position.x();
    f.Boul2Y = f.Boul2OldY = position.y();
    f.Boul2VX = velocity.x();
    f.Boul2VY = velocity.y();
    f.Timer1_Timer();
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), expectedVelocity);
    QCOMPARE(QPoint(f.Boul2X, f.Boul2Y), expectedPosition);
}

// After a hit the ball runs at the raised cap, which sinks by 200 a tick back
// to the base: 36, 34, ... 18 px a tick for the player ball.
void TestTick::raisedCapsSinkBack() {
    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    f.BoulX = f.BoulOldX = 30;
    f.BoulY = f.BoulOldY = 338;
    f.BoulVX = 10000;
    f.BoulVY = -10000;
    f.BoulMax = 3600;
    f.Boul2X = f.Boul2OldX = 400;
    f.Boul2Y = f.Boul2OldY = 60;
    f.Boul2VX = 10000;
    f.Boul2Max = 1600;

    Ints steps, stepsUp, caps, moves, steps2, caps2;
    for (int n = 0; n < 10; ++n) {
        const int x = f.BoulX, y = f.BoulY, x2 = f.Boul2X;
        f.Timer1_Timer();
        steps << f.BoulX - x;
        stepsUp << y - f.BoulY;
        caps << f.BoulMax;
        moves << f.Moves;
        if (n < 5) {
            steps2 << f.Boul2X - x2;
            caps2 << f.Boul2Max;
        }
    }
    QCOMPARE(steps, Ints({36, 34, 32, 30, 28, 26, 24, 22, 20, 18}));
    QCOMPARE(stepsUp, steps);
    QCOMPARE(caps, Ints({3400, 3200, 3000, 2800, 2600, 2400, 2200, 2000, 1800, 1800}));
    // Faster than the base cap does not count as full speed.
    QCOMPARE(moves, Ints({0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
    QCOMPARE(steps2, Ints({32, 28, 24, 20, 16}));
    QCOMPARE(caps2, Ints({1400, 1200, 1000, 800, 800}));
    QCOMPARE(f.life, 5);
}

// The balls are held still and each new shot is moved out of their way, so
// only the shots' own cycles remain.
void TestTick::shotsFireEvery40And60Ticks() {
    PlayRig rig;
    rig.startPlay();
    Form1& f = rig.form;
    Ints fired1, fired2;
    for (int t = 1; t <= 110; ++t) {
        rig.parkBalls();
        f.Timer1_Timer();
        if (f.Shot1On == -1 && f.Shot1Y == 25) {
            fired1 << t;
            QCOMPARE(f.Shot1X, f.BoulX + 8);
            f.Shot1X = f.Shot1OldX = 580;
        }
        if (f.Shot2On == -1 && f.Shot2X == 25) {
            fired2 << t;
            QCOMPARE(f.Shot2Y, f.BoulY + 8);
            f.Shot2Y = f.Shot2OldY = 380;
        }
        if (t == 39) {
            QCOMPARE(f.Shot1Y, 405);
            QCOMPARE(f.Shot1On, int16_t(-1));
        }
        if (t == 40) {
            QCOMPARE(f.Shot1Y, 415);
            QCOMPARE(f.Shot1On, int16_t(0));
        }
        if (t == 60) {
            QCOMPARE(f.Shot2X, 615);
            QCOMPARE(f.Shot2On, int16_t(0));
            QCOMPARE(f.Shot2Y, 380); // in flight it kept its row
        }
    }
    QCOMPARE(fired1, Ints({1, 41, 81}));
    QCOMPARE(fired2, Ints({1, 61}));
    QCOMPARE(f.HitGan + f.HitGan2 + f.GanGan, 0);
}

QTEST_GUILESS_MAIN(TestTick)
#include "test_tick.moc"
