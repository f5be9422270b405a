// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/soak_check.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run soak(const QStringList& args) {
    QProcess sim;
    sim.start(QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh-sim"), args);
    sim.closeWriteChannel();
    sim.waitForFinished(280000);
    Run run;
    run.exitCode = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1;
    run.out = QString::fromUtf8(sim.readAllStandardOutput());
    run.err = QString::fromUtf8(sim.readAllStandardError());
    return run;
}

// Sanitizer builds are many times slower; they can ask for fewer games.
int gamesToPlay() {
    bool ok = false;
    const int games = qEnvironmentVariableIntValue("SPINMARSH_SOAK_GAMES", &ok);
    return ok && games > 0 ? games : 1000;
}

const QRegularExpression kSummary(QStringLiteral(
    R"(^soak: (\d+) games, (\d+) ticks checked, seed (\d+); ends: escape (\d+), close (\d+), )"
    R"(life (\d+), time (\d+); all rules held \([0-9.]+ s\)\n$)"));

// A state as it stands after some ticks of a game: balls inside, caps on
// their ladders, counters grown.
GameState midGame() {
    GameState s;
    s.BoulX = 100;
    s.BoulY = 200;
    s.Boul2X = 300;
    s.Boul2Y = 40;
    s.BoulMax = 2400;
    s.Boul2Max = 1000;
    s.Shot1On = -1;
    s.life = 5;
    s.kabe = 4;
    s.kabe2 = 2;
    s.Time = 7;
    s.Moves = 11;
    return s;
}

using Change = std::function<void(GameState&)>;

SoakPlan plan(SoakPlan::Finish finish, int64_t at) {
    SoakPlan p;
    p.finish = finish;
    p.at = at;
    return p;
}

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(SoakPlan)
Q_DECLARE_METATYPE(Form1::End)

class TestSoak : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void randomGamesKeepEveryRule() {
        const int games = gamesToPlay();
        const Run run = soak({QStringLiteral("--soak"), QString::number(games),
                              QStringLiteral("--seed"), QStringLiteral("1")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QRegularExpressionMatch m = kSummary.match(run.out);
        QVERIFY2(m.hasMatch(), qPrintable(run.out));
        qInfo("%s", qPrintable(run.out.trimmed()));
        QCOMPARE(m.captured(1).toInt(), games);
        QVERIFY(m.captured(2).toLongLong() > games);
        int ended = 0;
        for (int kind = 4; kind <= 7; ++kind) {
            ended += m.captured(kind).toInt();
            // A full run meets every way a game can end.
            if (games >= 1000) {
                QVERIFY2(m.captured(kind).toInt() > 0, qPrintable(run.out));
            }
        }
        QCOMPARE(ended, games);
    }

    void sameSeedSameGames() {
        const auto figures = [](const char* seed) {
            const Run run = soak({QStringLiteral("--soak"), QStringLiteral("40"),
                                  QStringLiteral("--seed"), QLatin1String(seed)});
            return run.out.left(run.out.indexOf(QLatin1String("all rules")));
        };
        const QString first = figures("7");
        QVERIFY2(first.startsWith(QLatin1String("soak: 40 games")), qPrintable(first));
        QCOMPARE(figures("7"), first);
        QVERIFY(figures("8") != first);
    }

    void refusesBadSoakOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no games") << QStringList{QStringLiteral("--soak"), QStringLiteral("0")};
        QTest::newRow("seed alone") << QStringList{QStringLiteral("--seed"), QStringLiteral("3")};
        QTest::newRow("fixed period")
            << QStringList{QStringLiteral("--soak"), QStringLiteral("5"),
                           QStringLiteral("--period"), QStringLiteral("20")};
    }

    void refusesBadSoakOptions() {
        QFETCH(QStringList, args);
        const Run run = soak(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(!run.err.isEmpty());
    }

    // The checker itself: each rule, broken on purpose, is caught and named.
    void tickRulesCatchBadStates_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("rule"); // empty: nothing broken
        const auto row = [](const char* name, const char* rule, Change change) {
            QTest::newRow(name) << change << QString::fromLatin1(rule);
        };
        row("a good tick", "", [](GameState&) {});
        row("on the wall lines", "", [](GameState& s) {
            s.BoulX = 538;
            s.BoulY = 338;
            s.Boul2X = 30;
            s.Boul2Y = 30;
        });
        row("player past the left line", "outside", [](GameState& s) { s.BoulX = 29; });
        row("enemy past the bottom line", "outside", [](GameState& s) { s.Boul2Y = 339; });
        row("cap off the ladder", "BoulMax", [](GameState& s) { s.BoulMax = 2500; });
        row("enemy cap below its base", "Boul2Max", [](GameState& s) { s.Boul2Max = 600; });
        row("shot flag 1", "shot flags", [](GameState& s) { s.Shot2On = 1; });
        row("a bounce taken back", "kabe went down", [](GameState& s) { s.kabe = 3; });
        row("time going back", "Time went down", [](GameState& s) { s.Time = 6; });
        row("a life given back", "life went", [](GameState& s) { s.life = 6; });
        row("two lives at once", "life went", [](GameState& s) { s.life = 3; });
    }

    void tickRulesCatchBadStates() {
        QFETCH(Change, change);
        QFETCH(QString, rule);
        SoakCheck check;
        QCOMPARE(check.begin(plan(SoakPlan::Finish::Natural, 0)), std::string());
        QCOMPARE(check.afterTick(0, midGame()), std::string());
        GameState next = midGame();
        change(next);
        const QString broken = QString::fromStdString(check.afterTick(1, next));
        if (rule.isEmpty()) {
            QVERIFY2(broken.isEmpty(), qPrintable(broken));
        } else {
            QVERIFY2(broken.contains(rule), qPrintable(broken));
        }
    }

    void endRulesMatchTheScript_data() {
        QTest::addColumn<SoakPlan>("planned");
        QTest::addColumn<int>("ticks"); // -1: ended in the countdown
        QTest::addColumn<Form1::End>("end");
        QTest::addColumn<int>("life");
        QTest::addColumn<int>("messages");
        QTest::addColumn<bool>("good");
        using F = SoakPlan::Finish;
        using E = Form1::End;
        QTest::newRow("Escape in the countdown")
            << plan(F::Escape, 0) << -1 << E::Escape << 5 << 1 << true;
        QTest::newRow("Escape as planned")
            << plan(F::Escape, 10) << 9 << E::Escape << 3 << 1 << true;
        QTest::newRow("Escape a tick late")
            << plan(F::Escape, 10) << 10 << E::Escape << 3 << 1 << false;
        QTest::newRow("close taken for Escape")
            << plan(F::Escape, 10) << 9 << E::Close << 3 << 0 << false;
        QTest::newRow("last life before the close")
            << plan(F::Close, 10) << 9 << E::Life << 0 << 1 << true;
        QTest::newRow("last life past the close")
            << plan(F::Close, 10) << 10 << E::Life << 0 << 1 << false;
        QTest::newRow("an Escape nobody pressed")
            << plan(F::Natural, 0) << 4 << E::Escape << 3 << 1 << false;
        QTest::newRow("life end with a life left")
            << plan(F::Natural, 0) << 4 << E::Life << 1 << 1 << false;
        QTest::newRow("close with an end message")
            << plan(F::Close, 5) << 4 << E::Close << 3 << 1 << false;
        QTest::newRow("no end at all") << plan(F::Natural, 0) << 4 << E::None << 3 << 1 << false;
    }

    void endRulesMatchTheScript() {
        QFETCH(SoakPlan, planned);
        QFETCH(int, ticks);
        QFETCH(Form1::End, end);
        QFETCH(int, life);
        QFETCH(int, messages);
        QFETCH(bool, good);
        SoakCheck check;
        check.begin(planned);
        GameState s = midGame();
        if (ticks < 0) {
            s = GameState();
            s.life = 5;
        }
        // Lives go one at a time, the last on the last tick.
        for (int t = 0; t <= ticks; ++t) {
            s.life = std::min(5, life + (ticks - t));
            QCOMPARE(check.afterTick(t, s), std::string());
        }
        s.life = life;
        const std::string broken = check.atEnd(end, std::max(ticks, 0), s, messages, 2);
        QVERIFY2(broken.empty() == good, broken.c_str());
    }

    void oneEndPerGame() {
        SoakCheck check;
        check.begin(plan(SoakPlan::Finish::Escape, 0));
        GameState fresh;
        fresh.life = 5;
        QCOMPARE(check.atEnd(Form1::End::Escape, 0, fresh, 1, 2), std::string());
        QVERIFY(!check.atEnd(Form1::End::Escape, 0, fresh, 1, 2).empty());
        QVERIFY(!check.afterTick(0, midGame()).empty());

        // A game that never reports its end is caught when the next begins,
        // or after the last.
        QCOMPARE(check.begin(plan(SoakPlan::Finish::Natural, 0)), std::string());
        QCOMPARE(check.afterTick(0, midGame()), std::string());
        QVERIFY(!check.finish().empty());
        QVERIFY(!check.begin(plan(SoakPlan::Finish::Natural, 0)).empty());
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "test_soak.moc"
