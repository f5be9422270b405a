// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play_rig.h"

#include <QTest>

namespace {

void place(PlayRig& rig, QPoint ball, QPoint enemy, QPoint shot1, QPoint shot2) {
    Form1& f = rig.form;
    f.BoulX = f.BoulOldX = ball.x();
    f.BoulY = f.BoulOldY = ball.y();
    f.Boul2X = f.Boul2OldX = enemy.x();
    f.Boul2Y = f.Boul2OldY = enemy.y();
    f.Shot1X = f.Shot1OldX = shot1.x();
    f.Shot1Y = f.Shot1OldY = shot1.y();
    f.Shot2X = f.Shot2OldX = shot2.x();
    f.Shot2Y = f.Shot2OldY = shot2.y();
}

// Where nothing meets anything.
const QPoint kBall(300, 200), kEnemy(100, 100), kShot1(500, 60), kShot2(60, 340);

} // namespace

class TestHitCheck : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void pairs_data();
    void pairs();
    void ballsCollide_data();
    void ballsCollide();
    void movedEnemyIsTestedWhereItWas();
    void lastLifeEndsTheGameAndTheCheck();
    void retiredShotsAreWipedFromTheField();
};

void TestHitCheck::pairs_data() {
    QTest::addColumn<QPoint>("ball");
    QTest::addColumn<QPoint>("enemy");
    QTest::addColumn<QPoint>("shot1");
    QTest::addColumn<QPoint>("shot2");
    // Expected: lives, HitGan, HitGan2, GanGan, which shots are still in
    // flight, the pushes the balls got and their caps (both start raised,
    // mid-way back to the base, at 3000 and 1000).
    QTest::addColumn<Ints>("counters");
    QTest::addColumn<Ints>("inFlight");
    QTest::addColumn<QPoint>("ballPush");
    QTest::addColumn<QPoint>("enemyPush");
    QTest::addColumn<Ints>("caps");

    const Ints quiet{5, 0, 0, 0}, bothFlying{-1, -1}, raised{3000, 1000};
    const QPoint none(0, 0), down(0, 10000), right(10000, 0);
    const auto row = [&](const char* name, QPoint b, QPoint e, QPoint s1, QPoint s2, Ints counters,
                         Ints inFlight, QPoint ballPush, QPoint enemyPush, Ints caps) {
        QTest::newRow(name) << b << e << s1 << s2 << counters << inFlight << ballPush << enemyPush
                            << caps;
    };
    const auto miss = [&](const char* name, QPoint b, QPoint e, QPoint s1, QPoint s2) {
        row(name, b, e, s1, s2, quiet, bothFlying, none, none, raised);
    };

    miss("nothing meets", kBall, kEnemy, kShot1, kShot2);
    miss("balls side by side touch", kBall, {332, 200}, kShot1, kShot2);
    miss("balls one above the other touch", kBall, {300, 232}, kShot1, kShot2);
    row("balls share a column", kBall, {331, 200}, kShot1, kShot2, {4, 0, 0, 0}, bothFlying, none,
        none, {3600, 1600});
    row("balls share a row", kBall, {300, 231}, kShot1, kShot2, {4, 0, 0, 0}, bothFlying, none,
        none, {3600, 1600});

    const Ints ballHit{5, 1, 0, 0}, enemyHit{5, 0, 1, 0};
    miss("downward shot touches the ball's right", kBall, kEnemy, {332, 200}, kShot2);
    row("downward shot on the ball's right", kBall, kEnemy, {331, 200}, kShot2, ballHit, {0, -1},
        down, none, {3600, 1000});
    miss("downward shot touches the ball's left", kBall, kEnemy, {290, 200}, kShot2);
    row("downward shot on the ball's left", kBall, kEnemy, {291, 200}, kShot2, ballHit, {0, -1},
        down, none, {3600, 1000});
    miss("downward shot touches the ball's top", kBall, kEnemy, {310, 190}, kShot2);
    row("downward shot on the ball's top", kBall, kEnemy, {310, 191}, kShot2, ballHit, {0, -1},
        down, none, {3600, 1000});
    miss("rightward shot touches the ball's left", kBall, kEnemy, kShot1, {290, 210});
    row("rightward shot on the ball's left", kBall, kEnemy, kShot1, {291, 210}, ballHit, {-1, 0},
        right, none, {3600, 1000});
    miss("rightward shot touches the ball's right", kBall, kEnemy, kShot1, {332, 210});
    row("rightward shot on the ball's right", kBall, kEnemy, kShot1, {331, 210}, ballHit, {-1, 0},
        right, none, {3600, 1000});
    miss("downward shot touches the enemy", kBall, kEnemy, {132, 100}, kShot2);
    row("downward shot on the enemy", kBall, kEnemy, {131, 100}, kShot2, enemyHit, {0, -1}, none,
        down, {3000, 1600});
    miss("rightward shot touches the enemy", kBall, kEnemy, kShot1, {90, 100});
    row("rightward shot on the enemy", kBall, kEnemy, kShot1, {91, 100}, enemyHit, {-1, 0}, none,
        right, {3000, 1600});

    const Ints shotsMet{5, 0, 0, 1};
    miss("shots touch", kBall, kEnemy, {400, 300}, {410, 300});
    row("shots meet", kBall, kEnemy, {400, 300}, {409, 309}, shotsMet, {0, 0}, none, none, raised);
    // Only the overlap's top edge decides, and at the top row it is 0.
    miss("shots both at the origin", kBall, kEnemy, {0, 0}, {0, 0});
    miss("shots meet in the top row", kBall, kEnemy, {200, 0}, {205, 0});
    row("shots meet below the top row", kBall, kEnemy, {200, 0}, {205, 5}, shotsMet, {0, 0}, none,
        none, raised);

    row("a shot on the ball and on the other shot", kBall, kEnemy, {320, 225}, {325, 233},
        {5, 1, 0, 1}, {0, 0}, down, none, {3600, 1000});
    row("one shot on both balls", kBall, {336, 200}, {327, 210}, kShot2, {5, 1, 1, 0}, {0, -1},
        down, down, {3600, 1600});
}

void TestHitCheck::pairs() {
    QFETCH(QPoint, ball);
    QFETCH(QPoint, enemy);
    QFETCH(QPoint, shot1);
    QFETCH(QPoint, shot2);
    QFETCH(Ints, counters);
    QFETCH(Ints, inFlight);
    QFETCH(QPoint, ballPush);
    QFETCH(QPoint, enemyPush);
    QFETCH(Ints, caps);

    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    place(rig, ball, enemy, shot1, shot2);
    f.Shot1On = f.Shot2On = -1;
    f.BoulMax = 3000;
    f.Boul2Max = 1000;
    f.HitCheck();

    QCOMPARE(Ints({f.life, f.HitGan, f.HitGan2, f.GanGan}), counters);
    QCOMPARE(Ints({f.Shot1On, f.Shot2On}), inFlight);
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), ballPush);
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), enemyPush);
    QCOMPARE(Ints({f.BoulMax, f.Boul2Max}), caps);
    // A hit does not move a ball; the next tick does.
    QCOMPARE(QPoint(f.BoulX, f.BoulY), ball);
    QCOMPARE(QPoint(f.Boul2X, f.Boul2Y), enemy);
}

void TestHitCheck::ballsCollide_data() {
    QTest::addColumn<QPoint>("ball");
    QTest::addColumn<QPoint>("ballVelocity");
    QTest::addColumn<QPoint>("enemy");
    QTest::addColumn<QPoint>("enemyVelocity");
    QTest::addColumn<QPoint>("ballAfter");
    QTest::addColumn<QPoint>("ballVelocityAfter");
    QTest::addColumn<QPoint>("enemyAfter");
    QTest::addColumn<QPoint>("enemyVelocityAfter");
    QTest::addColumn<Ints>("bounces"); // kabe, kabe2

    // The enemy's velocity is in fiftieths, the player's in hundredths: the
    // enemy leaves at twice the pixel speed.
    QTest::newRow("enemy runs into the ball at rest")
        << QPoint(300, 200) << QPoint(0, 0) << QPoint(270, 200) << QPoint(800, 0)
        << QPoint(308, 200) << QPoint(800, 0) << QPoint(254, 200) << QPoint(-800, 0) << Ints{0, 0};
    QTest::newRow("head on") << QPoint(300, 200) << QPoint(1800, 0) << QPoint(270, 200)
                             << QPoint(-800, 0) << QPoint(274, 200) << QPoint(-2600, 0)
                             << QPoint(322, 200) << QPoint(2600, 0) << Ints{0, 0};
    QTest::newRow("both axes") << QPoint(300, 200) << QPoint(300, -500) << QPoint(300, 170)
                               << QPoint(-200, 400) << QPoint(295, 209) << QPoint(-500, 900)
                               << QPoint(310, 152) << QPoint(500, -900) << Ints{0, 0};
    QTest::newRow("the step carries the ball past a wall")
        << QPoint(35, 200) << QPoint(0, 0) << QPoint(60, 200) << QPoint(-800, 0) << QPoint(30, 200)
        << QPoint(800, 0) << QPoint(76, 200) << QPoint(800, 0) << Ints{1, 0};
    QTest::newRow("the step carries the enemy past a wall")
        << QPoint(500, 200) << QPoint(1800, 0) << QPoint(520, 200) << QPoint(0, 0)
        << QPoint(482, 200) << QPoint(-1800, 0) << QPoint(538, 200) << QPoint(-1800, 0)
        << Ints{0, 1};
}

void TestHitCheck::ballsCollide() {
    QFETCH(QPoint, ball);
    QFETCH(QPoint, ballVelocity);
    QFETCH(QPoint, enemy);
    QFETCH(QPoint, enemyVelocity);
    QFETCH(QPoint, ballAfter);
    QFETCH(QPoint, ballVelocityAfter);
    QFETCH(QPoint, enemyAfter);
    QFETCH(QPoint, enemyVelocityAfter);
    QFETCH(Ints, bounces);

    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    place(rig, ball, enemy, kShot1, kShot2);
    f.BoulVX = ballVelocity.x();
    f.BoulVY = ballVelocity.y();
    f.Boul2VX = enemyVelocity.x();
    f.Boul2VY = enemyVelocity.y();
    f.BoulMax = 3000;
    f.DrawGanman();
    f.DrawGanman2();
    f.HitCheck();

    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), ballVelocityAfter);
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), enemyVelocityAfter);
    QCOMPARE(QPoint(f.BoulX, f.BoulY), ballAfter);
    QCOMPARE(QPoint(f.Boul2X, f.Boul2Y), enemyAfter);
    QCOMPARE(Ints({f.kabe, f.kabe2}), bounces);
    QCOMPARE(f.life, 4);
    QCOMPARE(Ints({f.BoulMax, f.Boul2Max}), Ints({3600, 1600}));
    // The redraw wipes the gunmen (the next tick draws them) and draws both
    // balls where they ended up.
    const QRect top(0, 0, 600, 30), left(0, 0, 30, 400);
    QCOMPARE(region(f.MainPic, top), region(f.SubPic, top));
    QCOMPARE(region(f.MainPic, left), region(f.SubPic, left));
    QCOMPARE(QPoint(f.BoulOldX, f.BoulOldY), ballAfter);
    QCOMPARE(QPoint(f.Boul2OldX, f.Boul2OldY), enemyAfter);
    QCOMPARE(f.MainPic.pixel(ballAfter.x() + 16, ballAfter.y() + 16), f.BoulPic.pixel(48, 16));
}

// The rectangles are those from the start of the check: a shot that the
// collision step moved the enemy onto is found by the next check.
void TestHitCheck::movedEnemyIsTestedWhereItWas() {
    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    place(rig, {300, 200}, {270, 200}, kShot1, {255, 205});
    f.Boul2VX = 800;
    f.Shot2On = -1;
    f.HitCheck();
    QCOMPARE(f.Boul2X, 254);
    QCOMPARE(f.HitGan2, 0);
    QCOMPARE(f.Shot2On, int16_t(-1));
    f.HitCheck();
    QCOMPARE(f.HitGan2, 1);
}

void TestHitCheck::lastLifeEndsTheGameAndTheCheck() {
    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    f.life = 1;
    f.Boul2X = f.Boul2OldX = 300; // on the ball, level on both axes: it stays
    f.Boul2Y = f.Boul2OldY = 200;
    f.Shot1On = -1; // falls onto the ball in this tick
    f.Shot1X = f.Shot1OldX = 310;
    f.Shot1Y = f.Shot1OldY = 195;
    rig.clock.time = f.StartTime + 120.0; // the tick would also reach the time limit

    f.Timer1_Timer();
    QCOMPARE(f.life, 0);
    QCOMPARE(f.HitGan, 0);
    QCOMPARE(f.Shot1On, int16_t(-1));
    QCOMPARE(f.spe, 0);
    QCOMPARE(f.Time, 0);
    QCOMPARE(f.endCause(), Form1::End::Life);
    QCOMPARE(rig.dialogs.messages, QStringList{QStringLiteral("終わり")});
    QVERIFY(rig.ended());
}

void TestHitCheck::retiredShotsAreWipedFromTheField() {
    PlayRig rig;
    rig.startPlay();
    rig.park();
    Form1& f = rig.form;
    place(rig, kBall, kEnemy, {400, 300}, {405, 305});
    f.DrawShot1();
    f.DrawShot2();
    const QRect both(400, 300, 15, 15);
    QVERIFY(region(f.MainPic, both) != region(f.SubPic, both));
    f.HitCheck();
    QCOMPARE(f.GanGan, 1);
    QCOMPARE(region(f.MainPic, both), region(f.SubPic, both));
}

QTEST_GUILESS_MAIN(TestHitCheck)
#include "test_hit_check.moc"
