// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play_rig.h"

#include <QTest>

namespace {

enum class Way {
    EscapeInCountdown,
    EscapeInPlay,
    LastLife,
    TimeLimit,
    CloseInCountdown,
    CloseInPlay
};

const QString kEnd = QStringLiteral("終わり");

// What the score screen would read when it loads.
struct Reading {
    int life = -1, Time = -1, spe = -1, kabe = -1;
};

} // namespace

Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Form1::End)

class TestGameEnd : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void endsExactlyOnce_data();
    void endsExactlyOnce();
    void timeLimit_data();
    void timeLimit();
};

void TestGameEnd::endsExactlyOnce_data() {
    QTest::addColumn<Way>("way");
    QTest::addColumn<Form1::End>("cause");
    QTest::addColumn<bool>("message");
    QTest::addColumn<int>("life");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("spe");
    QTest::addColumn<bool>("paused"); // by P, for a long while, before the end

    // Play rows run 3 ticks with 2 s of play on the clock before the end.
    QTest::newRow("escape in the countdown")
        << Way::EscapeInCountdown << Form1::End::Escape << true << 5 << 0 << 0 << false;
    QTest::newRow("escape in play")
        << Way::EscapeInPlay << Form1::End::Escape << true << 5 << 2 << 0 << false;
    QTest::newRow("last life") << Way::LastLife << Form1::End::Life << true << 0 << 2 << 0 << false;
    QTest::newRow("time limit") << Way::TimeLimit << Form1::End::Time << true << 5 << 120 << 1
                                << false;
    QTest::newRow("close in the countdown")
        << Way::CloseInCountdown << Form1::End::Close << false << 5 << 0 << 0 << false;
    QTest::newRow("close in play")
        << Way::CloseInPlay << Form1::End::Close << false << 5 << 2 << 0 << false;
    QTest::newRow("escape while paused in the countdown")
        << Way::EscapeInCountdown << Form1::End::Escape << true << 5 << 0 << 0 << true;
    QTest::newRow("escape while paused in play")
        << Way::EscapeInPlay << Form1::End::Escape << true << 5 << 2 << 0 << true;
    QTest::newRow("close while paused in play")
        << Way::CloseInPlay << Form1::End::Close << false << 5 << 2 << 0 << true;
}

void TestGameEnd::endsExactlyOnce() {
    QFETCH(Way, way);
    QFETCH(Form1::End, cause);
    QFETCH(bool, message);
    QFETCH(int, life);
    QFETCH(int, time);
    QFETCH(int, spe);
    QFETCH(bool, paused);

    PlayRig rig;
    Form1& f = rig.form;
    rig.clock.time = 1000.0;
    rig.load();
    f.Timer2_Timer();
    const bool inPlay = way != Way::EscapeInCountdown && way != Way::CloseInCountdown;
    if (inPlay) {
        f.Timer2_Timer();
        f.Timer2_Timer();
        rig.press(39);
        rig.clock.time = f.StartTime + 2.0;
        rig.ticks(3);
        QCOMPARE(f.phase(), Form1::Phase::Play);
    }
    if (paused) {
        rig.press('P');
        rig.clock.time += 500.0;
    }
    rig.music.log.clear();

    // Everything the nested event loops of the end message and the score
    // screen might let through must do nothing.
    const auto pokeAtTheGame = [&] {
        const GameState before = f;
        f.Timer1_Timer();
        f.Timer2_Timer();
        rig.press(27);
        rig.press(40);
        QCOMPARE(f.BoulX, before.BoulX);
        QCOMPARE(f.BoulVY, before.BoulVY);
        QCOMPARE(f.Boul2X, before.Boul2X);
        QCOMPARE(f.Countdown, before.Countdown);
        QCOMPARE(f.KeyYOn, before.KeyYOn);
    };
    bool fieldClean = false;
    rig.dialogs.whileShown = [&] {
        fieldClean = f.MainPic.image() == f.SubPic.image();
        pokeAtTheGame();
        QVERIFY(rig.music.log.isEmpty()); // the tune plays on under the message
    };
    QList<Reading> readings;
    QList<qsizetype> musicSent; // commands already sent when the score screen is shown
    f.showScoreScreen = [&] {
        ++rig.scoreScreenShown;
        musicSent << rig.music.log.size();
        readings << Reading{f.life, f.Time, f.spe, f.kabe};
        pokeAtTheGame();
    };

    switch (way) {
    case Way::EscapeInCountdown:
    case Way::EscapeInPlay:
        rig.press(27);
        break;
    case Way::LastLife:
        f.life = 1;
        f.Boul2X = f.Boul2OldX = f.BoulX;
        f.Boul2Y = f.Boul2OldY = f.BoulY;
        f.Timer1_Timer();
        break;
    case Way::TimeLimit:
        rig.clock.time = f.StartTime + 120.0;
        f.Timer1_Timer();
        break;
    case Way::CloseInCountdown:
    case Way::CloseInPlay:
        f.closeCommand();
        break;
    }

    QCOMPARE(f.endCause(), cause);
    QCOMPARE(rig.dialogs.messages, message ? QStringList{kEnd} : QStringList{});
    if (message) {
        QCOMPARE(fieldClean, !inPlay); // no ball is drawn before play starts
    }
    // Both closing handlers show the score screen and stop the music.
    QCOMPARE(rig.scoreScreenShown, 2);
    QCOMPARE(rig.music.log, QStringList({"close", "stop", "close", "stop"}));
    QCOMPARE(musicSent, QList<qsizetype>({0, 2})); // the tune plays on through the tally
    QVERIFY(rig.ended());
    QVERIFY(!f.isLoaded());
    QVERIFY(rig.view == nullptr);
    // Whatever the pause held goes with the game: the clock runs again.
    QVERIFY(!f.paused());
    const double held = rig.clock.time - rig.gameClock.now();
    rig.clock.time += 3.0;
    QCOMPARE(rig.clock.time - rig.gameClock.now(), held);
    for (const Reading& r : readings) {
        QCOMPARE(r.life, life);
        QCOMPARE(r.Time, time);
        QCOMPARE(r.spe, spe);
        QCOMPARE(r.kabe, 0);
    }

    // The closed screen ignores whatever still arrives.
    const GameState after = f;
    rig.ticks(2);
    f.Timer2_Timer();
    rig.press(27);
    f.closeCommand();
    QCOMPARE(rig.dialogs.messages.size(), message ? 1 : 0);
    QCOMPARE(rig.scoreScreenShown, 2);
    QCOMPARE(f.Countdown, after.Countdown);
    QCOMPARE(f.BoulX, after.BoulX);
    QCOMPARE(f.endCause(), cause);
}

void TestGameEnd::timeLimit_data() {
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<int>("time");
    QTest::newRow("119.49 s") << 119.49 << false << 119;
    QTest::newRow("119.5 s rounds to 120") << 119.5 << true << 120;
    QTest::newRow("120 s") << 120.0 << true << 120;
    // A stall past the limit still ends the game, scored as at the limit.
    QTest::newRow("stalled to 125.3 s") << 125.3 << true << 120;
    QTest::newRow("stalled for an hour") << 3720.0 << true << 120;
}

void TestGameEnd::timeLimit() {
    QFETCH(double, elapsed);
    QFETCH(bool, ends);
    QFETCH(int, time);

    PlayRig rig;
    Form1& f = rig.form;
    rig.clock.time = 86399.0; // play runs across what was midnight
    rig.startPlay();
    rig.clock.time = f.StartTime + elapsed;
    f.Timer1_Timer();
    QCOMPARE(f.Time, time);
    QCOMPARE(f.spe, ends ? 1 : 0);
    QCOMPARE(rig.ended(), ends);
    QCOMPARE(rig.dialogs.messages.size(), ends ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestGameEnd)
#include "test_game_end.moc"
