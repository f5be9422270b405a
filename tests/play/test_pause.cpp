// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/event_line.h"
#include "play/replay.h"
#include "play_rig.h"

#include <QTest>

#include <cmath>

// A paused game stands still for as long as the pause lasts, and goes on
// afterwards as if it had never been. (Ending a paused game: test_game_end.)
class TestPause : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void standsStillUntilP_data();
    void standsStillUntilP();
    void keysWaitForTheResume();
};

void TestPause::standsStillUntilP_data() {
    QTest::addColumn<bool>("inPlay");
    QTest::addColumn<int>("key"); // 0: the window stops being the active one
    QTest::newRow("P in the countdown") << false << int('P');
    QTest::newRow("P in play") << true << int('P');
    QTest::newRow("Pause key in play") << true << 19;
    QTest::newRow("focus lost in the countdown") << false << 0;
    QTest::newRow("focus lost in play") << true << 0;
}

void TestPause::standsStillUntilP() {
    QFETCH(bool, inPlay);
    QFETCH(int, key);

    PlayRig rig;
    Form1& f = rig.form;
    rig.clock.time = 100.3;
    rig.load();
    f.Timer2_Timer();
    if (inPlay) {
        f.Timer2_Timer();
        f.Timer2_Timer();
        rig.press(39);
        for (int i = 0; i < 64; ++i) {
            rig.clock.time += 1.0 / 64;
            f.Timer1_Timer();
        }
        QCOMPARE(f.Time, 1);
    }
    const GameState before = f;
    const QImage field = f.MainPic.image();
    const double clockBefore = rig.gameClock.now();
    rig.music.log.clear();

    if (key != 0) {
        rig.press(key);
        rig.press(key); // held: its repeats switch nothing
        rig.release(key);
    } else {
        f.Form_Deactivate();
    }
    QVERIFY(f.paused());
    QVERIFY(rig.view->paused);
    QCOMPARE(rig.music.log, QStringList{"pause"});

    // An hour away; whatever the window's timers might still deliver does
    // nothing, and neither does the focus coming and going.
    rig.clock.time += 3600.0;
    f.Timer2_Timer();
    rig.ticks(3);
    f.Form_Deactivate();
    QVERIFY(f.paused());
    QCOMPARE(rig.gameClock.now(), clockBefore);
    QCOMPARE(f.Countdown, before.Countdown);
    QCOMPARE(f.Time, before.Time);
    QCOMPARE(QPoint(f.BoulX, f.BoulY), QPoint(before.BoulX, before.BoulY));
    QCOMPARE(QPoint(f.Shot1X, f.Shot1Y), QPoint(before.Shot1X, before.Shot1Y));
    QCOMPARE(f.MainPic.image(), field);

    rig.press('P');
    rig.release('P');
    QVERIFY(!f.paused());
    QVERIFY(!rig.view->paused);
    QCOMPARE(rig.music.log, QStringList({"pause", "resume"}));
    if (!inPlay) {
        f.Timer2_Timer();
        f.Timer2_Timer();
        QCOMPARE(f.phase(), Form1::Phase::Play);
    }
    // Play ends at 120 seconds of play, the hour left out, however often the
    // blue ball catches the red one.
    f.life = 1'000'000;
    const double started = 100.8; // the end of the countdown, on the game's clock
    while (!rig.ended()) {
        rig.clock.time += 1.0 / 64;
        f.Timer1_Timer();
    }
    QCOMPARE(f.endCause(), Form1::End::Time);
    QCOMPARE(f.Time, 120);
    const double played = rig.gameClock.now() - started;
    QVERIFY2(played > 119.0 && played < 120.0, qPrintable(QString::number(played)));
    QVERIFY(std::abs(rig.clock.time - rig.gameClock.now() - 3600.0) < 1e-6);
}

// Arrow keys pressed and let go while paused reach the game when it resumes,
// in order, and are recorded there; other keys, the pause keys above all,
// never reach it.
void TestPause::keysWaitForTheResume() {
    PlayRig rig;
    Form1& f = rig.form;
    GameRecorder recorder(rig.gameClock);
    Recording recorded;
    recorder.finished = [&recorded](const Recording& r) { recorded = r; };
    f.tap = &recorder;
    rig.startPlay();
    rig.press(39);
    rig.ticks(2);
    rig.press('P');
    rig.release('P');
    // Right let go in another window comes back as let go; Left held with
    // auto-repeat; Up tapped; Down held; Enter, space, Pause up.
    for (const int k : {-39, 37, 37, 37, 38, -38, 40, 13, 32, -19}) {
        k < 0 ? rig.release(-k) : rig.press(k);
    }
    rig.ticks(5);
    QCOMPARE(QList<int>({f.KeyX, f.KeyXOn, f.KeyY, f.KeyYOn, f.BoulVX}),
             QList<int>({2, 1, 0, 0, 1000}));

    rig.press('P');
    QCOMPARE(QList<int>({f.KeyX, f.KeyXOn, f.KeyY, f.KeyYOn, f.BoulVX}),
             QList<int>({4, 1, 3, 1, 1000}));
    rig.release('P');
    rig.ticks(1);
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), QPoint(500, 500));
    rig.press(27);

    std::string script;
    for (const GameEvent& event : recorded.events) {
        script += formatEvent(event) + '\n';
    }
    QCOMPARE(QString::fromStdString(script), QStringLiteral("1 down Right\n"
                                                            "3 up Right\n"
                                                            "3 down Left\n"
                                                            "3 down Up\n"
                                                            "3 up Up\n"
                                                            "3 down Down\n"
                                                            "4 down Escape\n"));
}

QTEST_GUILESS_MAIN(TestPause)
#include "test_pause.moc"
