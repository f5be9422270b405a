// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless/stand_in_world.h"
#include "play/event_line.h"
#include "play/recording.h"
#include "play/replay.h"
#include "tools/simulator.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <random>
#include <tuple>

namespace {

// What a tick leaves of the game, to compare a live game with its replay.
std::vector<int32_t> snapshot(const GameState& s) {
    return {s.BoulX,   s.BoulY,   s.BoulVX,   s.BoulVY, s.BoulMax, s.Boul2X,  s.Boul2Y,
            s.Boul2VX, s.Boul2VY, s.Boul2Max, s.Shot1X, s.Shot1Y,  s.Shot1On, s.Shot2X,
            s.Shot2Y,  s.Shot2On, s.kabe,     s.kabe2,  s.life,    s.Time,    s.HitGan,
            s.HitGan2, s.Moves,   s.GanGan,   s.spe,    s.KeyXOn,  s.KeyYOn};
}

// The play core as the window runs it: a clock that runs a little late and
// now and then skips a tick, keys at any moment, pauses of half a minute, and
// the recorder listening. One object plays several games in a row, so state
// carries over.
struct LiveGames : StandInWorld {
    GameRecorder recorder{gameClock};
    Form1 form{playEnvironment(recorder), [](Form1&) { return new HeadlessPlayView; }};
    std::mt19937 rng{7};
    std::vector<Recording> recordings;
    std::vector<std::vector<std::vector<int32_t>>> ticks; // per game, per tick
    std::vector<QImage> fields;
    int pauses = 0;

    LiveGames() {
        clock.time = 5000.123;
        form.tap = &recorder;
        recorder.finished = [this](const Recording& r) { recordings.push_back(r); };
    }

    // Up to this many microseconds late, in seconds.
    double lateBy(unsigned microseconds) { return static_cast<double>(rng() % microseconds) / 1e6; }
    bool playing() const {
        return form.phase() == Form1::Phase::Countdown || form.phase() == Form1::Phase::Play;
    }
    void randomKeys(int percent) {
        static const int16_t keys[] = {37, 38, 39, 40, 32};
        while (playing() && static_cast<int>(rng() % 100) < percent) {
            int16_t key = keys[rng() % 5];
            if (rng() % 2 == 0) {
                form.Form_KeyDown(key, 0);
            } else {
                form.Form_KeyUp(key, 0);
            }
        }
    }
    // Now and then the player pauses, with P, with the Pause key or by
    // turning to another window, and works the keys meanwhile.
    void maybePause(int percent) {
        if (!playing() || static_cast<int>(rng() % 100) >= percent) {
            return;
        }
        ++pauses;
        int16_t key = rng() % 2 == 0 ? 80 : 19;
        if (rng() % 3 == 0) {
            form.Form_Deactivate();
        } else {
            form.Form_KeyDown(key, 0);
            form.Form_KeyUp(key, 0);
        }
        clock.time += 30.0 + lateBy(1000000);
        randomKeys(70);
        form.Form_KeyDown(key, 0);
        form.Form_KeyUp(key, 0);
    }
    // Plays one game: Escape in the countdown when stopAt is 0, else the
    // close command before tick stopAt, unless the game ends first.
    void play(int stopAt) {
        form.show();
        ticks.emplace_back();
        for (int i = 0; i < 3 && playing(); ++i) {
            maybePause(20);
            randomKeys(30);
            if (stopAt == 0 && i == 1) {
                int16_t escape = 27;
                form.Form_KeyDown(escape, 0);
                break;
            }
            clock.time += 0.8 + lateBy(5000);
            form.Timer2_Timer();
        }
        for (int n = 1; form.phase() == Form1::Phase::Play; ++n) {
            maybePause(2);
            randomKeys(8);
            if (n == stopAt) {
                form.closeCommand();
                break;
            }
            clock.time += (rng() % 20 == 0 ? 2 : 1) * 0.015625 + lateBy(3000);
            form.Timer1_Timer();
            ticks.back().push_back(snapshot(form));
        }
        fields.push_back(form.MainPic.image());
    }
};

// Replays a recording in the simulator and keeps what every tick left.
struct Replayed : SimObserver {
    std::vector<std::vector<int32_t>> ticks;
    QImage field;
    std::string difference;
    const Recording& recording;

    explicit Replayed(const Recording& r) : recording(r) {
        runScript(SimScript{{SimGame{{}, {}, &r}}}, SimOptions{}, *this);
    }
    void line(const std::string&) override {}
    bool wantsLines() const override { return false; }
    void afterTick(int, int64_t tick, const Form1& form) override {
        if (tick > 0) {
            ticks.push_back(snapshot(form));
        }
    }
    void ended(int, int64_t n, const Form1& form, int, int) override {
        field = form.MainPic.image();
        difference = firstDifference(recording, form, n);
    }
};

// A small recording that parses: Right held for two ticks, then Escape.
QByteArray validRecording() {
    QByteArray text = "spinmarsh-replay 1\nprogram 0.1\ncarried";
    for (const std::string& name : carriedNames()) {
        text += ' ' + QByteArray::fromStdString(name) + "=0";
    }
    return text + "\n0 down Right\n2 up Right\n3 down Escape\nclock 5000 16 15\nend escape 2\n"
                  "counters life=5 HitGan=0 kabe=0 Moves=0 HitGan2=0 kabe2=0 Time=0 spe=0 "
                  "GanGan=0\ntotal 25000\n";
}

} // namespace

class TestReplay : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Games played as the window plays them, one after another, come out of
    // the simulator tick for tick, field and all, from their recordings
    // written out and read back.
    void replaysReproduceLiveGames() {
        LiveGames live;
        live.play(900);
        live.play(0);
        live.play(300);
        live.play(900);
        QCOMPARE(live.recordings.size(), size_t(4));
        QCOMPARE(live.recordings[1].end, Form1::End::Escape);
        QCOMPARE(live.recordings[1].readings.size(), size_t(0));
        QVERIFY(live.recordings[2].carried != live.recordings[0].carried);
        for (size_t g = 0; g < live.recordings.size(); ++g) {
            std::string error;
            const auto read = parseRecording(formatRecording(live.recordings[g]), error);
            QVERIFY2(read, error.c_str());
            QCOMPARE(formatRecording(*read), formatRecording(live.recordings[g]));
            const Replayed replay(*read);
            QVERIFY2(replay.difference.empty(), replay.difference.c_str());
            QCOMPARE(replay.ticks.size(), live.ticks[g].size());
            QVERIFY(replay.ticks == live.ticks[g]);
            QCOMPARE(replay.field, live.fields[g]);
            // The pauses are nowhere in the readings.
            const std::vector<int64_t>& readings = live.recordings[g].readings;
            for (size_t i = 1; i < readings.size(); ++i) {
                QVERIFY(readings[i] - readings[i - 1] < 100);
            }
        }
        QVERIFY(live.pauses >= 10);
    }

    // The longest game there is, with keys changing three times a second and
    // auto-repeat throughout, keeps well inside the size a recording may have.
    void aFullGameStaysSmall() {
        LiveGames live;
        live.form.show();
        live.form.life = 100'000; // the blue ball may catch it as often as it likes
        for (int i = 0; i < 3; ++i) {
            live.clock.time += 0.8;
            live.form.Timer2_Timer();
        }
        for (int n = 1; live.form.phase() == Form1::Phase::Play; ++n) {
            int16_t key = static_cast<int16_t>(37 + (n / 20) % 4);
            if (n % 20 == 0) {
                int16_t last = static_cast<int16_t>(37 + (n / 20 + 3) % 4);
                live.form.Form_KeyUp(last, 0);
            }
            if (n % 2 == 0) {
                live.form.Form_KeyDown(key, 0);
            }
            live.clock.time += 0.015625 + live.lateBy(3000);
            live.form.Timer1_Timer();
        }
        QCOMPARE(live.recordings.size(), size_t(1));
        QCOMPARE(live.recordings[0].end, Form1::End::Time);
        const size_t bytes = formatRecording(live.recordings[0]).size();
        qInfo("a 120-second game (%lld ticks, %zu events) takes %zu bytes",
              static_cast<long long>(live.recordings[0].ticks), live.recordings[0].events.size(),
              bytes);
        QVERIFY(bytes < 64 * 1024);
    }

    void refusesBadRecordings_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QByteArray>("why");     // empty: read fine
        const QByteArray good = validRecording();
        const auto with = [&good](const char* from, const char* to) {
            QByteArray text = good;
            return text.replace(from, to);
        };
        QTest::newRow("valid") << good << QByteArray();
        QTest::newRow("missing") << QByteArray() << QByteArray("no such file");
        QTest::newRow("empty") << QByteArray("") << QByteArray("line 1: empty");
        QTest::newRow("garbage") << QByteArray("\x7f\x45LF\x02\x01\x01\0\0", 9)
                                 << QByteArray("line 1: not a Spinmarsh recording");
        QTest::newRow("a script") << QByteArray("game\n0 down Right\n")
                                  << QByteArray("line 1: not a Spinmarsh recording");
        QTest::newRow("another version")
            << with("replay 1", "replay 2") << QByteArray("line 1: a recording of another version");
        QTest::newRow("cut in a line")
            << good.left(good.indexOf("clock") + 8) << QByteArray("line 7: cut short");
        QTest::newRow("cut after a line")
            << good.left(good.indexOf("counters")) << QByteArray("line 9: cut short");
        QTest::newRow("too large")
            << good + QByteArray(kMaxRecordingBytes, '\n') << QByteArray("too large");
        QTest::newRow("events out of order")
            << with("2 up Right", "0 up Right\n2 up Right").replace("0 down Right", "1 down Right")
            << QByteArray("line 5: events out of order");
        QTest::newRow("bad key") << with("0 down Right", "0 down Space")
                                 << QByteArray("line 4: bad key");
        QTest::newRow("carried variable missing")
            << with(" KeyX=0", "") << QByteArray("line 3: expected 'carried'");
        QTest::newRow("negative reading")
            << with("5000 16", "5000 -16") << QByteArray("line 7: bad clock reading");
        QTest::newRow("too few readings")
            << with("5000 16 15", "5000") << QByteArray("line 8: 1 clock readings");
        QTest::newRow("event after the end")
            << with("3 down Escape", "9 down Escape") << QByteArray("line 8: an event comes after");
        QTest::newRow("unknown end")
            << with("end escape", "end sleep") << QByteArray("line 8: expected 'end");
        QTest::newRow("counter missing") << with(" spe=0", "") << QByteArray("line 9: expected");
        QTest::newRow("total off") << with("total 25000", "total 25001")
                                   << QByteArray("line 10: the total does not add up");
        QTest::newRow("more after the total") << good + "0 down Left\n"
                                              << QByteArray("line 11: more after the total");
    }

    void refusesBadRecordings() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("game.replay"));
        if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        std::string error;
        const auto recording = loadRecording(path, error);
        const QByteArray message = QByteArray::fromStdString(error);
        if (why.isEmpty()) {
            QVERIFY2(recording, message.constData());
            QCOMPARE(recording->events.size(), size_t(3));
            QCOMPARE(recording->readings, (std::vector<int64_t>{5000, 5016, 5031}));
            return;
        }
        QVERIFY(!recording);
        QVERIFY2(message.startsWith(path.toUtf8() + ": ") && message.contains(why),
                 message.constData());
        QVERIFY(!message.contains('\n'));
    }

    // The edges of every bound play without the overflow stop: each carried
    // value at the top of its bounds with the clock at the top of its own,
    // then each at the bottom with the clock leaping from 0 to its top.
    void theBoundsEdgesPlay_data() {
        QTest::addColumn<QByteArray>("carried");
        QTest::addColumn<QByteArray>("clock");
        QTest::newRow("tops") << QByteArray("KeyX=4 KeyY=3 BoulOldX=538 BoulOldY=338 Boul2X=538 "
                                            "Boul2Y=338 Boul2VX=2147473547 Boul2VY=2147473547 "
                                            "Boul2OldX=538 Boul2OldY=338 Shot1X=546 Shot1Y=415 "
                                            "Shot1OldX=546 Shot1OldY=415 Shot2X=615 Shot2Y=346 "
                                            "Shot2OldX=615 Shot2OldY=346 Shot2On=-1 "
                                            "StartTime=2147483647")
                              << QByteArray("2147483646984 16");
        QTest::newRow("bottoms") << QByteArray("KeyX=2 KeyY=1 BoulOldX=30 BoulOldY=30 Boul2X=30 "
                                               "Boul2Y=30 Boul2VX=-5200 Boul2VY=-5200 Boul2OldX=30 "
                                               "Boul2OldY=30 Shot1X=38 Shot1Y=25 Shot1OldX=38 "
                                               "Shot1OldY=25 Shot2X=25 Shot2Y=38 Shot2OldX=25 "
                                               "Shot2OldY=38 Shot2On=0 StartTime=0")
                                 << QByteArray("0 2147483647000");
    }

    void theBoundsEdgesPlay() {
        QFETCH(QByteArray, carried);
        QFETCH(QByteArray, clock);
        const QByteArray text = "spinmarsh-replay 1\nprogram 0.1\ncarried " + carried + "\nclock " +
                                clock +
                                "\nend time 1\ncounters life=5 HitGan=0 kabe=0 Moves=0 "
                                "HitGan2=0 kabe2=0 Time=120 spe=1 GanGan=0\ntotal 71000\n";
        std::string error;
        const auto read = parseRecording(text.toStdString(), error);
        QVERIFY2(read, error.c_str());
        const Replayed replay(*read);
        QVERIFY(!replay.ticks.empty());
    }

    // Recordings no game can make, each just past one bound, and one cut
    // short: both programs refuse every one the same way, before anything
    // runs (the game before it needs a display): one line naming the file
    // and the line, status 2.
    void bothProgramsRefuse_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("why");
        const QByteArray good = validRecording();
        const auto with = [&good](const char* from, const char* to) {
            return QByteArray(good).replace(from, to);
        };
        const std::tuple<const char*, QByteArray, const char*> cases[] = {
            {"cut short", good.chopped(20), "line 9: cut short"},
            {"key direction", with("KeyX=0", "KeyX=3"), "line 3: KeyX=3 is none"},
            {"ball beyond the left wall", with("BoulOldX=0", "BoulOldX=29"), "line 3: BoulOldX=29"},
            {"ball beyond the bottom wall", with("Boul2Y=0", "Boul2Y=339"), "line 3: Boul2Y=339"},
            {"enemy too fast", with("Boul2VX=0", "Boul2VX=2147483647"),
             "line 3: Boul2VX=2147483647"},
            {"balls too far apart", with("Boul2VY=0", "Boul2VY=-5201"), "line 3: Boul2VY=-5201"},
            {"shot off its steps", with("Shot1Y=0", "Shot1Y=30"), "line 3: Shot1Y=30"},
            {"shot past its retirement", with("Shot2OldX=0", "Shot2OldX=625"),
             "line 3: Shot2OldX=625"},
            {"shot off the ball's column", with("Shot1X=0", "Shot1X=547"), "line 3: Shot1X=547"},
            {"shot flag", with("Shot2On=0", "Shot2On=1"), "line 3: Shot2On=1"},
            {"start before the clock", with("StartTime=0", "StartTime=-1"), "line 3: StartTime=-1"},
            {"key code", with("0 down Right", "0 down 255"), "line 4: key code 255"},
            {"no key", with("2 up Right", "2 up 0"), "line 5: key code 0"},
            {"clock past its end", with("clock 5000 ", "clock 2147483647000 "),
             "line 7: the clock reading '16' goes past"},
            {"clock step overflowing the sum", with("5000 16", "5000 9223372036854775807"),
             "line 7: the clock reading '9223372036854775807' goes past"},
            {"too many ticks", with("end escape 2", "end escape 12101"),
             "line 8: 12101 ticks are more"},
            {"lives", with("life=5", "life=6"), "line 9: life=6 is none"},
            {"overflowing the tally", with("Moves=0", "Moves=2147483647"), "line 9: Moves="},
            {"time", with("Time=0", "Time=121"), "line 9: Time=121"}};
        for (const char* program : {"spinmarsh-sim", "spinmarsh"}) {
            for (const auto& [name, content, why] : cases) {
                QTest::addRow("%s, %s", name, program)
                    << QString::fromLatin1(program) << content << QByteArray(why);
            }
        }
    }

    void bothProgramsRefuse() {
        QFETCH(QString, program);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("impossible.replay"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QProcess run;
        run.setProcessEnvironment([] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            return env;
        }());
        run.start(QStringLiteral(SPINMARSH_BIN_DIR "/") + program,
                  {QStringLiteral("--replay"), path});
        QVERIFY(run.waitForFinished(60000));
        const QByteArray err = run.readAllStandardError();
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QVERIFY2(run.exitCode() == 2, err.constData());
        QCOMPARE(err.count('\n'), 1);
        QVERIFY2(err.contains(path.toUtf8() + ": " + why), err.constData());
        QVERIFY(run.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "test_replay.moc"
