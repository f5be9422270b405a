// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/key_codes.h"
#include "tests/support/screen_rig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The whole flow of screens without a window: headless views, keys handed
// to the screens as their windows hand them.

namespace {

void press(Screen& screen, int16_t code) {
    QVERIFY2(screen.isShown(), "the screen is not on the screen");
    screen.Form_KeyDown(code, 0);
}

// Scripted answers, noting what the game looked like when the name prompt
// came up.
class WatchingDialogs : public ScriptedDialogs {
  public:
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        playShownAtPrompt = play != nullptr && play->isShown();
        scoreShownAtPrompt = score != nullptr && score->isShown();
        musicAtPrompt = music != nullptr ? music->log : QStringList();
        return ScriptedDialogs::InputBox(prompt, title, defaultText);
    }
    Screen* play = nullptr;
    Screen* score = nullptr;
    RecordingMusicPlayer* music = nullptr;
    bool playShownAtPrompt = false;
    bool scoreShownAtPrompt = true;
    QStringList musicAtPrompt;
};

// A game from the menu's Start to the end message, ended with Escape.
void playAGame(ScreenRig& rig) {
    rig.playAGame([&] { press(rig.set.form3(), key::kEnter); },
                  [&] { press(rig.set.form1(), key::kEscape); });
}

} // namespace

class TestScreenFlow : public QObject {
    Q_OBJECT

    const QByteArray m_configHome = qgetenv("XDG_CONFIG_HOME");

  private Q_SLOTS:
    void init() {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        QFile::remove(settingsFile());
    }

    void wholeLoopWithTheKeyboard() {
        WatchingDialogs dialogs;
        dialogs.answers << QStringLiteral("Ann");
        int32_t total = 0;
        {
            ScreenRig rig(dialogs, headlessViews());
            dialogs.play = &rig.set.form1();
            dialogs.score = &rig.set.form2();
            dialogs.music = &rig.music;

            // The program opens on the score screen, all zeros, no prompt.
            rig.set.start();
            QVERIFY(rig.set.form2().isShown());
            QCOMPARE(rig.set.form2().caption(QStringLiteral("total")), QStringLiteral("0"));
            QVERIFY(dialogs.prompts.isEmpty());

            press(rig.set.form2(), key::kEnter);
            QVERIFY(!rig.set.form2().isLoaded());
            QVERIFY(rig.set.form3().isShown());
            QCOMPARE(rig.set.form3().menuPos(), 1);

            playAGame(rig);

            // End message, then the name prompt over the still displayed play
            // screen with the tune still on, then the score screen.
            QCOMPARE(dialogs.messages, QStringList(QStringLiteral("終わり")));
            QCOMPARE(dialogs.prompts.size(), 1);
            QVERIFY(dialogs.playShownAtPrompt);
            QVERIFY(!dialogs.scoreShownAtPrompt);
            QVERIFY(dialogs.musicAtPrompt.endsWith(QStringLiteral("play")));
            QCOMPARE(rig.music.log,
                     dialogs.musicAtPrompt + QStringList({"close", "stop", "close", "stop"}));
            QVERIFY(!rig.set.form1().isLoaded());
            QVERIFY(rig.set.form2().isShown());
            QVERIFY(!rig.set.form3().isShown());

            // The score screen read the counters the game left behind.
            const Form1& game = rig.set.form1();
            QCOMPARE(game.life, 5);
            QCOMPARE(rig.set.form2().caption(QStringLiteral("EnemyLabel")), QStringLiteral("5"));
            QCOMPARE(rig.set.form2().caption(QStringLiteral("DistanceLabel")),
                     QString::number(game.Moves));
            total = rig.set.form2().caption(QStringLiteral("total")).toInt();
            QVERIFY(total > 0);

            // Back to the menu, which shows Start again.
            press(rig.set.form2(), key::kEnter);
            QVERIFY(rig.set.form3().isShown());
            QCOMPARE(rig.set.form3().menuPos(), 1);
            QVERIFY(rig.set.form3().isItemVisible(1));

            // The high score, then back to the menu on its third item.
            press(rig.set.form3(), key::kDown);
            press(rig.set.form3(), key::kDown);
            press(rig.set.form3(), key::kEnter);
            QCOMPARE(rig.set.form4().caption(QStringLiteral("n")), QStringLiteral("Ann"));
            QCOMPARE(rig.set.form4().caption(QStringLiteral("hs")), QString::number(total));
            press(rig.set.form4(), key::kEnter);
            QVERIFY(rig.set.form3().isShown());
            QVERIFY(rig.set.form3().isItemVisible(3));

            // owari: every screen goes and the program ends, no score screen.
            press(rig.set.form3(), key::kUp);
            press(rig.set.form3(), key::kEnter);
            QCOMPARE(rig.ended, 1);
            for (Screen* s :
                 {static_cast<Screen*>(&rig.set.form1()), static_cast<Screen*>(&rig.set.form2()),
                  static_cast<Screen*>(&rig.set.form3()), static_cast<Screen*>(&rig.set.form4())}) {
                QVERIFY(!s->isLoaded());
            }
            QCOMPARE(dialogs.prompts.size(), 1);
        }

        // A new run finds the record in the settings file.
        ScriptedDialogs second;
        ScreenRig rig(second, headlessViews());
        rig.set.start();
        QCOMPARE(rig.set.form2().caption(QStringLiteral("total")), QStringLiteral("0"));
        QVERIFY(second.prompts.isEmpty());
        press(rig.set.form2(), key::kEnter);
        press(rig.set.form3(), key::kUp);
        press(rig.set.form3(), key::kUp);
        press(rig.set.form3(), key::kEnter);
        QCOMPARE(rig.set.form4().caption(QStringLiteral("n")), QStringLiteral("Ann"));
        QCOMPARE(rig.set.form4().caption(QStringLiteral("hs")), QString::number(total));
    }

    void recordsScreenKeys_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("recent");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("marks");
        QTest::newRow("opens on the best game") << QList<int>{} << false << 0 << "→\n\n";
        QTest::newRow("down and down")
            << QList<int>{key::kDown, key::kDown} << false << 2 << "\n\n→";
        QTest::newRow("no further than the last")
            << QList<int>{key::kDown, key::kDown, key::kDown} << false << 2 << "\n\n→";
        QTest::newRow("no further than the first") << QList<int>{key::kUp} << false << 0 << "→\n\n";
        QTest::newRow("right: the recent games, from the top")
            << QList<int>{key::kDown, key::kRight} << true << 0 << "→\n\n";
        QTest::newRow("left: the best again")
            << QList<int>{key::kRight, key::kDown, key::kLeft} << false << 0 << "→\n\n";
        QTest::newRow("other keys do nothing")
            << QList<int>{key::kDown, 'A', 32} << false << 1 << "\n→\n";
    }

    void recordsScreenKeys() {
        QFETCH(QList<int>, keys);
        QFETCH(bool, recent);
        QFETCH(int, row);
        QFETCH(QString, marks);
        RecordsFolderRig data({"20260101-100000-15050.replay", "20260102-100000-15050.replay",
                               "20260103-100000-15050.replay"});
        ScriptedDialogs dialogs;
        ScreenRig rig(dialogs, headlessViews(), &data.records);
        rig.set.form4().show();
        press(rig.set.form4(), key::kRight);
        RecordsScreen& screen = rig.set.recordsScreen();
        for (int k : keys) {
            press(screen, static_cast<int16_t>(k));
        }
        QCOMPARE(screen.list() == RecordsScreen::List::Recent, recent);
        QCOMPARE(screen.row(), row);
        QCOMPARE(screen.caption(QStringLiteral("mark")), marks);
        // The best ten are ranked and named; the recent games are newest first.
        QCOMPARE(screen.caption(QStringLiteral("rank")), recent ? "\n\n" : "1\n2\n3");
        QCOMPARE(screen.caption(QStringLiteral("played")).left(10),
                 recent ? QStringLiteral("2026-01-03") : QStringLiteral("2026-01-01"));
        QVERIFY(rig.set.form4().isLoaded());
    }

    // From the high-score screen to the records, a game watched to its
    // score screen and back, then one stopped midway.
    void watchesAGameOfTheRecords() {
        RecordsFolderRig data({"20260101-100000-15050.replay"});
        ScriptedDialogs dialogs;
        ScreenRig rig(dialogs, headlessViews(), &data.records);
        RecordsScreen& screen = rig.set.recordsScreen();
        rig.set.form4().show();
        const std::vector<int32_t> carried = carriedState(rig.set.form1());
        press(rig.set.form4(), key::kRight);
        QVERIFY(screen.isShown());
        QCOMPARE(screen.caption(QStringLiteral("total")), QStringLiteral("15050"));

        rig.drive.load([&] { press(screen, key::kEnter); });
        QVERIFY(rig.set.watching());
        QVERIFY(!screen.isLoaded());
        rig.drive.countdown();
        while (rig.drive.tick()) {
        }
        // The game as recorded, its own score screen, no prompt, nothing kept.
        QCOMPARE(dialogs.messages, QStringList(QStringLiteral("終わり")));
        QVERIFY(rig.set.form2().isShown());
        QCOMPARE(rig.set.form2().caption(QStringLiteral("total")), QStringLiteral("15050"));
        QVERIFY(dialogs.prompts.isEmpty());
        QVERIFY(!QFile::exists(settingsFile()));
        press(rig.set.form2(), key::kEnter);
        QVERIFY(screen.isShown());
        QVERIFY(!rig.set.watching());
        // The next game plays on from the player's own last game.
        QCOMPARE(carriedState(rig.set.form1()), carried);

        rig.drive.load([&] { press(screen, key::kEnter); });
        rig.drive.countdown();
        rig.drive.tick();
        rig.set.stopWatching();
        QVERIFY(screen.isShown());
        QVERIFY(!rig.set.form1().isLoaded());
        QVERIFY(!rig.set.form2().isLoaded());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(carriedState(rig.set.form1()), carried);

        press(screen, key::kEscape);
        QVERIFY(!screen.isLoaded());
        QVERIFY(rig.set.form4().isShown());
        press(rig.set.form4(), key::kEnter);
        QVERIFY(rig.set.form3().isShown());
    }

    // A settings folder that cannot exist: the save fails, the player is told,
    // the game carries on, and the file in the way is left as it was.
    void refusedSaveIsReported() {
        const QString blocker =
            QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/blocker");
        QDir().mkpath(QFileInfo(blocker).path());
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=7\n");
        file.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));

        ScriptedDialogs dialogs;
        dialogs.answers << QStringLiteral("Ann");
        ScreenRig rig(dialogs, headlessViews());
        rig.set.start();
        press(rig.set.form2(), key::kEnter);
        playAGame(rig);

        QCOMPARE(dialogs.prompts.size(), 1);
        QCOMPARE(dialogs.messages,
                 QStringList({QStringLiteral("終わり"), Form2::kNotSavedMessage}));
        QVERIFY(rig.set.form2().isShown());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=7\n"));
        press(rig.set.form2(), key::kEnter);
        QVERIFY(rig.set.form3().isShown());
    }
};

QTEST_GUILESS_MAIN(TestScreenFlow)
#include "test_screen_flow.moc"
