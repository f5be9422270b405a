// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play_rig.h"

#include <QTest>

// A game's start: the countdown into play, what a new game resets and what it
// carries over from the last, and the tune that starts with play.
class TestGameStart : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void countdownStartsPlay();
    void arrowKeysInTheCountdownCountFromTheFirstTick();
    void newGameResetsSomeFieldsAndCarriesOthers();
    void playMusicPicksATuneAndRestartsIt_data();
    void playMusicPicksATuneAndRestartsIt();
};

void TestGameStart::countdownStartsPlay() {
    PlayRig rig;
    Form1& f = rig.form;
    rig.clock.time = 10.3;
    rig.load();
    QCOMPARE(f.phase(), Form1::Phase::Countdown);
    QVERIFY(rig.view->bannerVisible);
    QVERIFY(rig.view->timer2Enabled);
    QVERIFY(!rig.view->timer1Enabled);
    rig.ticks(1); // no tick runs before play
    QCOMPARE(f.BoulX, 316);
    QCOMPARE(f.BoulY, 216);

    f.Timer2_Timer();
    f.Timer2_Timer();
    QCOMPARE(f.Countdown, 2);
    QVERIFY(rig.view->bannerVisible);
    QVERIFY(rig.sleeper.lengths.isEmpty());
    QCOMPARE(f.MainPic.image(), f.SubPic.image());
    QVERIFY(rig.music.log.isEmpty()); // the countdown is silent

    // The banner goes first, then the wait, then play.
    rig.sleeper.meanwhile = [&] {
        QVERIFY(!rig.view->bannerVisible);
        QCOMPARE(f.phase(), Form1::Phase::Countdown);
        QCOMPARE(f.MainPic.image(), f.SubPic.image());
    };
    f.Timer2_Timer();
    QCOMPARE(rig.sleeper.lengths, QList<int>{500});
    QCOMPARE(f.phase(), Form1::Phase::Play);
    QVERIFY(rig.view->timer1Enabled);
    QVERIFY(!rig.view->timer2Enabled);
    QCOMPARE(QPoint(f.BoulOldX, f.BoulOldY), QPoint(316, 216));
    QCOMPARE(QPoint(f.Boul2OldX, f.Boul2OldY), QPoint(50, 50));
    QCOMPARE(f.MainPic.pixel(316 + 16, 216 + 16), f.BoulPic.pixel(48, 16));
    QCOMPARE(f.MainPic.pixel(50 + 16, 50 + 16), f.Boul2pic.pixel(48, 16));
    QCOMPARE(rig.music.log.size(), 5);
    QCOMPARE(f.StartTime, 11); // 10.8 after the wait, not 10.3

    f.Timer2_Timer(); // a late countdown event changes nothing
    QCOMPARE(f.Countdown, 3);
    QCOMPARE(rig.sleeper.lengths.size(), 1);
}

void TestGameStart::arrowKeysInTheCountdownCountFromTheFirstTick() {
    PlayRig rig;
    Form1& f = rig.form;
    rig.load();
    rig.press(39);
    f.Timer2_Timer();
    f.Timer2_Timer();
    rig.sleeper.meanwhile = [&] { rig.press(40); }; // handled right after the wait
    f.Timer2_Timer();
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), QPoint(0, 0));
    f.Timer1_Timer();
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), QPoint(500, 500));
    QCOMPARE(QPoint(f.BoulX, f.BoulY), QPoint(321, 221));
}

void TestGameStart::newGameResetsSomeFieldsAndCarriesOthers() {
    PlayRig rig;
    Form1& f = rig.form;
    // At program start, before any game, every counter reads 0.
    QCOMPARE(Ints({f.kabe, f.kabe2, f.life, f.Time, f.HitGan, f.HitGan2, f.Moves, f.GanGan, f.spe}),
             Ints(9, 0));
    rig.startPlay();
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), QPoint(0, 0)); // the first enemy starts at rest
    rig.press(37);
    rig.press(38);
    rig.ticks(2);

    f.kabe = 3, f.kabe2 = 4, f.life = 2, f.Time = 50, f.HitGan = 5, f.HitGan2 = 6, f.Moves = 7;
    f.GanGan = 8;
    f.BoulX = 100, f.BoulY = 120, f.BoulVX = 900, f.BoulVY = -900;
    f.BoulMax = 3200, f.Boul2Max = 1400;
    f.Boul2VX = 345, f.Boul2VY = -123;
    f.Shot1On = -1, f.Shot1X = 450, f.Shot1Y = 300;
    f.Shot2On = -1, f.Shot2X = f.Shot2OldX = 200, f.Shot2Y = f.Shot2OldY = 150;
    rig.press(27);
    QVERIFY(rig.ended());

    rig.load();
    QCOMPARE(Ints({f.kabe, f.kabe2, f.life, f.Time, f.HitGan, f.HitGan2, f.Moves, f.GanGan, f.spe}),
             Ints({0, 0, 5, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(Ints({f.BoulX, f.BoulY, f.BoulVX, f.BoulVY}), Ints({316, 216, 0, 0}));
    QCOMPARE(Ints({f.BoulMax, f.BoulBaseMax, f.Boul2Max, f.Boul2BaseMax}),
             Ints({1800, 1800, 800, 800}));
    QCOMPARE(Ints({f.KeyXOn, f.KeyYOn, f.Shot1On, f.Countdown}), Ints({0, 0, 0, 0}));
    // Not reset: the enemy's velocity, the rightward shot and the key codes.
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), QPoint(345, -123));
    QCOMPARE(Ints({f.Shot2On, f.Shot2X, f.Shot2Y, f.Shot2OldX, f.Shot2OldY}),
             Ints({-1, 200, 150, 200, 150}));
    QCOMPARE(Ints({f.KeyX, f.KeyY}), Ints({4, 1}));

    rig.countdown();
    QCOMPARE(QPoint(f.Boul2X, f.Boul2Y), QPoint(50, 50));
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), QPoint(345, -123));
    f.Timer1_Timer();
    QCOMPARE(QPoint(f.Boul2VX, f.Boul2VY), QPoint(445, -23)); // chasing from where it was
    QCOMPARE(QPoint(f.Shot2X, f.Shot2Y), QPoint(210, 150));   // flies on
    QCOMPARE(QPoint(f.Shot1X, f.Shot1Y), QPoint(324, 25));    // fired afresh
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), QPoint(0, 0));       // no key held any more
}

void TestGameStart::playMusicPicksATuneAndRestartsIt_data() {
    QTest::addColumn<double>("r");
    QTest::addColumn<QString>("tune");
    QTest::newRow("0") << 0.0 << "0.mid";
    QTest::newRow("0.49") << 0.49 << "0.mid";
    QTest::newRow("exactly one half") << 0.5 << "0.mid";
    QTest::newRow("0.51") << 0.51 << "1.mid";
    QTest::newRow("0.999") << 0.999 << "1.mid";
}

void TestGameStart::playMusicPicksATuneAndRestartsIt() {
    QFETCH(double, r);
    QFETCH(QString, tune);

    PlayRig rig;
    rig.random.values = {r, 0.9};
    rig.startPlay();
    const QStringList start{"stop", "close", "file /opt/spinmarsh/" + tune, "open", "play"};
    QCOMPARE(rig.music.log, start);
    QCOMPARE(rig.random.reseeds, 1);

    // A tune that has played to its end is followed by a fresh choice.
    QVERIFY(bool(rig.music.tuneEnded));
    rig.music.tuneEnded();
    QCOMPARE(rig.music.log.mid(5),
             QStringList({"stop", "close", "file /opt/spinmarsh/1.mid", "open", "play"}));
    QCOMPARE(rig.random.reseeds, 2);

    rig.press(27);
    QVERIFY(!rig.music.tuneEnded); // nothing restarts the music once the screen is gone
}

QTEST_GUILESS_MAIN(TestGameStart)
#include "test_game_start.moc"
