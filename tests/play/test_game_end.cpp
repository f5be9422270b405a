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
    void countdownStartsPlay();
    void arrowKeysInTheCountdownCountFromTheFirstTick();
    void newGameResetsSomeFieldsAndCarriesOthers();
    void playMusicPicksATuneAndRestartsIt_data();
    void playMusicPicksATuneAndRestartsIt();
};

void TestGameEnd::endsExactlyOnce_data() {
    QTest::addColumn<Way>("way");
    QTest::addColumn<Form1::End>("cause");
    QTest::addColumn<bool>("message");
    QTest::addColumn<int>("life");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("spe");

    // Play rows run 3 ticks with 2 s of play on the clock before the end.
    QTest::newRow("escape in the countdown")
        << Way::EscapeInCountdown << Form1::End::Escape << true << 5 << 0 << 0;
    QTest::newRow("escape in play")
        << Way::EscapeInPlay << Form1::End::Escape << true << 5 << 2 << 0;
    QTest::newRow("last life") << Way::LastLife << Form1::End::Life << true << 0 << 2 << 0;
    QTest::newRow("time limit") << Way::TimeLimit << Form1::End::Time << true << 5 << 120 << 1;
    QTest::newRow("close in the countdown")
        << Way::CloseInCountdown << Form1::End::Close << false << 5 << 0 << 0;
    QTest::newRow("close in play") << Way::CloseInPlay << Form1::End::Close << false << 5 << 2 << 0;
}

void TestGameEnd::endsExactlyOnce() {
    QFETCH(Way, way);
    QFETCH(Form1::End, cause);
    QFETCH(bool, message);
    QFETCH(int, life);
    QFETCH(int, time);
    QFETCH(int, spe);

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

void TestGameEnd::countdownStartsPlay() {
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
    QVERIFY(rig.pause.lengths.isEmpty());
    QCOMPARE(f.MainPic.image(), f.SubPic.image());
    QVERIFY(rig.music.log.isEmpty()); // the countdown is silent

    // The banner goes first, then the pause, then play.
    rig.pause.meanwhile = [&] {
        QVERIFY(!rig.view->bannerVisible);
        QCOMPARE(f.phase(), Form1::Phase::Countdown);
        QCOMPARE(f.MainPic.image(), f.SubPic.image());
    };
    f.Timer2_Timer();
    QCOMPARE(rig.pause.lengths, QList<int>{500});
    QCOMPARE(f.phase(), Form1::Phase::Play);
    QVERIFY(rig.view->timer1Enabled);
    QVERIFY(!rig.view->timer2Enabled);
    QCOMPARE(QPoint(f.BoulOldX, f.BoulOldY), QPoint(316, 216));
    QCOMPARE(QPoint(f.Boul2OldX, f.Boul2OldY), QPoint(50, 50));
    QCOMPARE(f.MainPic.pixel(316 + 16, 216 + 16), f.BoulPic.pixel(48, 16));
    QCOMPARE(f.MainPic.pixel(50 + 16, 50 + 16), f.Boul2pic.pixel(48, 16));
    QCOMPARE(rig.music.log.size(), 5);
    QCOMPARE(f.StartTime, 11); // 10.8 after the pause, not 10.3

    f.Timer2_Timer(); // a late countdown event changes nothing
    QCOMPARE(f.Countdown, 3);
    QCOMPARE(rig.pause.lengths.size(), 1);
}

void TestGameEnd::arrowKeysInTheCountdownCountFromTheFirstTick() {
    PlayRig rig;
    Form1& f = rig.form;
    rig.load();
    rig.press(39);
    f.Timer2_Timer();
    f.Timer2_Timer();
    rig.pause.meanwhile = [&] { rig.press(40); }; // handled right after the pause
    f.Timer2_Timer();
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), QPoint(0, 0));
    f.Timer1_Timer();
    QCOMPARE(QPoint(f.BoulVX, f.BoulVY), QPoint(500, 500));
    QCOMPARE(QPoint(f.BoulX, f.BoulY), QPoint(321, 221));
}

void TestGameEnd::newGameResetsSomeFieldsAndCarriesOthers() {
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

void TestGameEnd::playMusicPicksATuneAndRestartsIt_data() {
    QTest::addColumn<double>("r");
    QTest::addColumn<QString>("tune");
    QTest::newRow("0") << 0.0 << "0.mid";
    QTest::newRow("0.49") << 0.49 << "0.mid";
    QTest::newRow("exactly one half") << 0.5 << "0.mid";
    QTest::newRow("0.51") << 0.51 << "1.mid";
    QTest::newRow("0.999") << 0.999 << "1.mid";
}

void TestGameEnd::playMusicPicksATuneAndRestartsIt() {
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

QTEST_MAIN(TestGameEnd)
#include "test_game_end.moc"
