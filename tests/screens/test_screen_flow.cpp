// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"
#include "tests/support/stand_ins.h"
#include "tests/support/windows.h"
#include "windows/play_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

const QString kScoreTitle = QStringLiteral("Enter キーを押したらトップメニューに戻ります。");

void key(const QString& windowTitle, Qt::Key k) {
    QWidget* window = visibleWindow(windowTitle);
    QVERIFY2(window != nullptr, qPrintable(windowTitle + QStringLiteral(" is not on the screen")));
    QTest::keyClick(window, k);
    // Windows let go by their screens go away once back in the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString settingsFile() {
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/Rollvane.ini");
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

// The program's parts with stand-ins for time, sound and the browser, and
// the real windows and the real settings file.
struct Rig {
    explicit Rig(Dialogs& dialogs)
        : set(
              ScreenSet::Platform{gameClock, gameClock, pause, dialogs, music, random, settings,
                                  shell, QString()},
              [](Form1& form) { return new PlayWindow(form); }, [this] { ++ended; }) {}

    ManualClock clock;
    PausableClock gameClock{clock};
    ManualPause pause{clock};
    RecordingMusicPlayer music;
    SequenceRandom random;
    QSettingsStore settings;
    RecordingShell shell;
    int ended = 0;
    ScreenSet set;

    // From the menu's Start to the end message, ended with Escape.
    void playAGame() {
        key(QStringLiteral("Form3"), Qt::Key_Return);
        QVERIFY(set.form1().isShown());
        QVERIFY(!set.form3().isShown());
        for (int i = 0; i < 3; ++i) {
            set.form1().Timer2_Timer();
        }
        QCOMPARE(set.form1().phase(), Form1::Phase::Play);
        for (int i = 0; i < 10; ++i) {
            set.form1().Timer1_Timer();
        }
        key(QStringLiteral("Form1"), Qt::Key_Escape);
    }
};

} // namespace

class TestScreenFlow : public QObject {
    Q_OBJECT

    const QByteArray m_configHome = qgetenv("XDG_CONFIG_HOME");

  private Q_SLOTS:
    void init() {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        QFile::remove(settingsFile());
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void wholeLoopWithTheKeyboard() {
        WatchingDialogs dialogs;
        dialogs.answers << QStringLiteral("Ann");
        int32_t total = 0;
        {
            Rig rig(dialogs);
            dialogs.play = &rig.set.form1();
            dialogs.score = &rig.set.form2();
            dialogs.music = &rig.music;

            // The program opens on the score screen, all zeros, no prompt.
            rig.set.start();
            QVERIFY(visibleWindow(kScoreTitle) != nullptr);
            QCOMPARE(rig.set.form2().caption(QStringLiteral("total")), QStringLiteral("0"));
            QVERIFY(dialogs.prompts.isEmpty());

            key(kScoreTitle, Qt::Key_Return);
            QVERIFY(!rig.set.form2().isLoaded());
            QVERIFY(rig.set.form3().isShown());
            QCOMPARE(rig.set.form3().menuPos(), 1);

            rig.playAGame();

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
            QVERIFY(visibleWindow(kScoreTitle) != nullptr);
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
            key(kScoreTitle, Qt::Key_Return);
            QVERIFY(rig.set.form3().isShown());
            QCOMPARE(rig.set.form3().menuPos(), 1);
            QVERIFY(rig.set.form3().isItemVisible(1));

            // The high score, then back to the menu on its third item.
            key(QStringLiteral("Form3"), Qt::Key_Down);
            key(QStringLiteral("Form3"), Qt::Key_Down);
            key(QStringLiteral("Form3"), Qt::Key_Return);
            QCOMPARE(rig.set.form4().caption(QStringLiteral("n")), QStringLiteral("Ann"));
            QCOMPARE(rig.set.form4().caption(QStringLiteral("hs")), QString::number(total));
            key(QStringLiteral("Form4"), Qt::Key_Return);
            QVERIFY(rig.set.form3().isShown());
            QVERIFY(rig.set.form3().isItemVisible(3));

            // owari: every screen goes and the program ends, no score screen.
            key(QStringLiteral("Form3"), Qt::Key_Up);
            key(QStringLiteral("Form3"), Qt::Key_Return);
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
        Rig rig(second);
        rig.set.start();
        QCOMPARE(rig.set.form2().caption(QStringLiteral("total")), QStringLiteral("0"));
        QVERIFY(second.prompts.isEmpty());
        key(kScoreTitle, Qt::Key_Return);
        key(QStringLiteral("Form3"), Qt::Key_Up);
        key(QStringLiteral("Form3"), Qt::Key_Up);
        key(QStringLiteral("Form3"), Qt::Key_Return);
        QCOMPARE(rig.set.form4().caption(QStringLiteral("n")), QStringLiteral("Ann"));
        QCOMPARE(rig.set.form4().caption(QStringLiteral("hs")), QString::number(total));
    }

    // The window-close command never leaves the program without a window.
    void closingAnyWindowLeadsOn() {
        ScriptedDialogs dialogs;
        Rig rig(dialogs);
        rig.set.start();
        visibleWindow(kScoreTitle)->close();
        QVERIFY(rig.set.form3().isShown());
        QVERIFY(!rig.set.form2().isLoaded());

        key(QStringLiteral("Form3"), Qt::Key_Up);
        key(QStringLiteral("Form3"), Qt::Key_Up);
        key(QStringLiteral("Form3"), Qt::Key_Return);
        visibleWindow(QStringLiteral("Form4"))->close();
        QVERIFY(rig.set.form3().isShown());
        QVERIFY(!rig.set.form4().isLoaded());

        QCOMPARE(rig.ended, 0);
    }

    // The real message box and input dialog, answered as a player would.
    void realDialogsAnsweredByThePlayer() {
        const QString name = QStringLiteral("山田 = [x]; #\"q\"");
        QStringList seen;
        QTimer player;
        player.setInterval(10);
        connect(&player, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen << QStringLiteral("message ") + box->windowTitle() + QChar('|') + box->text();
                box->accept();
            } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                seen << QStringLiteral("input ") + input->windowTitle() + QChar('|') +
                            input->labelText() + QChar('|') + input->textValue();
                input->setTextValue(name);
                input->accept();
            }
        });
        player.start();

        QtDialogs dialogs;
        Rig rig(dialogs);
        rig.set.start();
        key(kScoreTitle, Qt::Key_Return);
        rig.playAGame();
        player.stop();

        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("message Spinmarsh|終わり"));
        QCOMPARE(seen[1],
                 QStringLiteral("input すごーい|ハイスコアです。あなたの名前をで教えてください\n"
                                "アルファベットと数字以外は使わないでください|Name"));
        QVERIFY(visibleWindow(kScoreTitle) != nullptr);

        QSettingsStore fresh;
        QCOMPARE(HighScoreRecord(fresh).name(), name);
        key(kScoreTitle, Qt::Key_Return);
        key(QStringLiteral("Form3"), Qt::Key_Down);
        key(QStringLiteral("Form3"), Qt::Key_Down);
        key(QStringLiteral("Form3"), Qt::Key_Return);
        QCOMPARE(rig.set.form4().caption(QStringLiteral("n")), name);
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
        Rig rig(dialogs);
        rig.set.start();
        key(kScoreTitle, Qt::Key_Return);
        rig.playAGame();

        QCOMPARE(dialogs.prompts.size(), 1);
        QCOMPARE(dialogs.messages,
                 QStringList({QStringLiteral("終わり"), Form2::kNotSavedMessage}));
        QVERIFY(visibleWindow(kScoreTitle) != nullptr);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=7\n"));
        key(kScoreTitle, Qt::Key_Return);
        QVERIFY(rig.set.form3().isShown());
    }
};

QTEST_MAIN(TestScreenFlow)
#include "test_screen_flow.moc"
