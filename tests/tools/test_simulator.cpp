// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/pictures.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QList<QJsonObject> lines;
};

Run simulate(const QByteArray& script, const QStringList& args = {}) {
    QProcess sim;
    sim.start(QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh-sim"), args);
    sim.write(script);
    sim.closeWriteChannel();
    sim.waitForFinished(60000);
    Run run;
    run.exitCode = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    run.out = sim.readAllStandardOutput();
    run.err = sim.readAllStandardError();
    for (const QByteArray& line : run.out.split('\n')) {
        if (!line.isEmpty()) {
            run.lines << QJsonDocument::fromJson(line).object();
        }
    }
    return run;
}

QList<QJsonObject> ends(const Run& run) {
    QList<QJsonObject> result;
    for (const QJsonObject& line : run.lines) {
        if (line.contains(QStringLiteral("end"))) {
            result << line;
        }
    }
    return result;
}

const QString kGolden = QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden");

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage picture(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

int field(const QJsonObject& line, const char* name) {
    return line.value(QLatin1String(name)).toInt();
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void holdingRightAccelerates() {
        const Run run = simulate("game\n0 down Right\n");
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.lines.size() > 6);
        const int vx[] = {0, 500, 1000, 1500, 1800, 1800};
        const int x[] = {316, 321, 331, 346, 364, 382};
        for (int tick = 0; tick <= 5; ++tick) {
            const QJsonObject& line = run.lines[tick];
            QCOMPARE(field(line, "game"), 1);
            QCOMPARE(field(line, "tick"), tick);
            QCOMPARE(field(line, "BoulVX"), vx[tick]);
            QCOMPARE(field(line, "BoulX"), x[tick]);
        }
        QCOMPARE(run.lines[0].size(), 27); // game, tick and the 25 fields
    }

    void refusesBadInput_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        const QStringList none;
        QTest::newRow("unknown word") << QByteArray("game\njump\n") << none << QByteArray("line 2");
        QTest::newRow("bad clock") << QByteArray("game 1x\n") << none << QByteArray("line 1");
        // Clocks the game's own clock could not hold stop it with an overflow.
        QTest::newRow("clock past its end")
            << QByteArray("game 1e300\n") << none << QByteArray("line 1");
        QTest::newRow("tick past a game")
            << QByteArray("game\n")
            << QStringList{QStringLiteral("--period"), QStringLiteral("1e300")}
            << QByteArray("--period");
        QTest::newRow("negative tick")
            << QByteArray("game\n-1 down Left\n") << none << QByteArray("line 2");
        QTest::newRow("bad key") << QByteArray("game\n\n3 down Space\n") << none
                                 << QByteArray("line 3");
        QTest::newRow("key out of range")
            << QByteArray("game\n3 up 65536\n") << none << QByteArray("line 2");
        QTest::newRow("missing key")
            << QByteArray("game\n3 down\n") << none << QByteArray("line 2");
        QTest::newRow("tick goes back")
            << QByteArray("game\n5 down Up\n# note\n4 up Up\n") << none << QByteArray("line 4");
        QTest::newRow("event before game")
            << QByteArray("# first\n0 down Left\ngame\n") << none << QByteArray("line 2");
        QTest::newRow("no game") << QByteArray("\n# nothing\n") << none << QByteArray("no game");
        QTest::newRow("unknown option")
            << QByteArray("game\n") << QStringList{QStringLiteral("--fast")} << QByteArray("usage");
        QTest::newRow("zero period")
            << QByteArray("game\n") << QStringList{QStringLiteral("--period"), QStringLiteral("0")}
            << QByteArray("--period");
        QTest::newRow("clock not a number")
            << QByteArray("game\n") << QStringList{QStringLiteral("--clock"), QStringLiteral("x")}
            << QByteArray("--clock");
        QTest::newRow("replay on another clock")
            << QByteArray()
            << QStringList{QStringLiteral("--replay"), kGolden + ".replay",
                           QStringLiteral("--period"), QStringLiteral("20")}
            << QByteArray("--replay");
        QTest::newRow("no such recording")
            << QByteArray()
            << QStringList{QStringLiteral("--replay"), QStringLiteral("/none.replay")}
            << QByteArray("/none.replay: no such file");
    }

    void refusesBadInput() {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        const Run run = simulate(script, args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), run.err.constData());
    }

    // A game recorded in the window plays again to the same lines and the
    // same field; a script's field is there too (here the untouched one).
    void replaysAGoldenRecording() {
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("field.png"));
        const Run run =
            simulate({}, {QStringLiteral("--replay"), kGolden + QStringLiteral(".replay"),
                          QStringLiteral("--field"), png});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QCOMPARE(run.out, contents(kGolden + QStringLiteral(".jsonl")));
        QCOMPARE(picture(png), picture(kGolden + QStringLiteral("-field.png")));

        const Run script = simulate("game\n0 down Escape\n", {QStringLiteral("--field"), png});
        QCOMPARE(script.exitCode, 0);
        QCOMPARE(picture(png), art::playField().convertToFormat(QImage::Format_RGB32));
    }

    // A recording whose game ends otherwise than it says: still every line,
    // then where it differs, and status 3.
    void aGameThatPlaysOtherwiseIsReported() {
        QByteArray text = contents(kGolden + QStringLiteral(".replay"));
        QVERIFY(text.contains(" kabe=17 ") && text.contains("\ntotal 15050\n"));
        text.replace(" kabe=17 ", " kabe=16 ").replace("\ntotal 15050\n", "\ntotal 15350\n");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edited.replay"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        const Run run = simulate({}, {QStringLiteral("--replay"), path});
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.out, contents(kGolden + QStringLiteral(".jsonl")));
        QVERIFY2(run.err.contains("kabe is 17, the recording says 16"), run.err.constData());
    }

    void endsAreReportedOnce() {
        // Escape in the countdown, close before the first tick, Escape in play.
        const Run run = simulate("game\n0 down Escape\n0 down Right\n"
                                 "game\n1 close\n"
                                 "game\n3 down Escape\n9 down Escape\n");
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> e = ends(run);
        QCOMPARE(e.size(), 3);
        QCOMPARE(e[0].value(QStringLiteral("end")).toString(), QStringLiteral("escape"));
        QCOMPARE(field(e[0], "ticks"), 0);
        QCOMPARE(field(e[0], "life"), 5);
        QCOMPARE(field(e[0], "total"), 25000);
        QCOMPARE(e[1].value(QStringLiteral("end")).toString(), QStringLiteral("close"));
        QCOMPARE(field(e[1], "ticks"), 0);
        QCOMPARE(field(e[2], "ticks"), 2);
        // No tick lines for the game that ended in its countdown; tick 0 only
        // for the one closed before its first tick; ticks 0 to 2 for the third.
        QCOMPARE(run.lines.size(), 3 + 0 + 1 + 3);
        QCOMPARE(field(run.lines[1], "game"), 2);
        QCOMPARE(field(run.lines[1], "tick"), 0);
    }

    void timeLimitEndsTheGame() {
        // One tick a minute: the second tick is two minutes into play.
        const Run run = simulate("game\n", {QStringLiteral("--period"), QStringLiteral("60000")});
        const QList<QJsonObject> e = ends(run);
        QCOMPARE(e.size(), 1);
        QCOMPARE(e[0].value(QStringLiteral("end")).toString(), QStringLiteral("time"));
        QCOMPARE(field(e[0], "ticks"), 2);
        QCOMPARE(field(e[0], "Time"), 120);
        QCOMPARE(field(e[0], "spe"), 1);
        const QJsonArray subtotals = e[0].value(QStringLiteral("subtotals")).toArray();
        QCOMPARE(subtotals.size(), 9);
        QCOMPARE(subtotals[6].toInt(), 36000);
        QCOMPARE(subtotals[7].toInt(), 10000);
        int sum = 0;
        for (const QJsonValue& v : subtotals) {
            sum += v.toInt();
        }
        QCOMPARE(field(e[0], "total"), sum);
    }

    void laterGamesCarryOn() {
        // The second game starts at the clock where the first ended, and the
        // enemy keeps its velocity into it.
        const Run run = simulate("game 0.4\n20 close\ngame\n2 close\n");
        QCOMPARE(ends(run).size(), 2);
        QJsonObject lastOfFirst, firstOfSecond;
        for (const QJsonObject& line : run.lines) {
            if (line.contains(QStringLiteral("end"))) {
                continue;
            }
            if (field(line, "game") == 1) {
                lastOfFirst = line;
            } else if (field(line, "tick") == 0) {
                firstOfSecond = line;
            }
        }
        QCOMPARE(field(lastOfFirst, "tick"), 19);
        QVERIFY(field(lastOfFirst, "Boul2VX") != 0);
        QCOMPARE(field(firstOfSecond, "Boul2VX"), field(lastOfFirst, "Boul2VX"));
        QCOMPARE(field(firstOfSecond, "Boul2VY"), field(lastOfFirst, "Boul2VY"));
        QCOMPARE(field(firstOfSecond, "Shot2X"), field(lastOfFirst, "Shot2X"));
        QCOMPARE(field(firstOfSecond, "BoulX"), 316);
    }

    void startClockSetsTheSecondsBoundary() {
        // Play starts 2.9 s after the load; the first whole second of play is
        // counted once the clock passes StartTime + 0.5.
        const auto firstSecond = [](const char* clock) {
            const Run run =
                simulate("game\n100 close\n", {QStringLiteral("--clock"), QLatin1String(clock)});
            for (const QJsonObject& line : run.lines) {
                if (field(line, "Time") == 1) {
                    return field(line, "tick");
                }
            }
            return -1;
        };
        QCOMPARE(firstSecond("0"), 39);   // P 2.9, StartTime 3
        QCOMPARE(firstSecond("0.4"), 13); // P 3.3, StartTime 3
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
