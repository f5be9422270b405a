// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"
#include "tests/support/virtual_pad.h"
#include "tests/support/xvfb_main.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <vector>

// A whole game played with a game controller alone, in the program's own
// windows on a private X server: from the first score screen through the
// menu, a game steered with the D-pad and the stick, paused with Start and
// by pulling out a second pad, and ended with Back, the end message and the
// name prompt answered with A, to the score screen again. Then the
// simulator plays the game's recording to the same end.

namespace {

const QString kScoreTitle = QStringLiteral("Enter キーを押したらトップメニューに戻ります。");

bool focused(const QString& title) {
    const QWindow* window = QGuiApplication::focusWindow();
    return window != nullptr && window->title() == title;
}

} // namespace

class TestPadGame : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // As the game has it: its windows come and go while it runs.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void wholeGameWithThePadAlone() {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
        VirtualPad pad; // plugged in before the game starts
        VirtualPad spare;
        Application game;
        Form1& play = game.form1();

        // The player's moves, each once the game is ready for it and SDL has
        // read the move before. The dialogs run loops of their own, so the
        // player acts from a timer.
        struct Move {
            std::function<bool()> ready;
            std::function<void()> act;
        };
        const auto press = [&pad](SDL_GameControllerButton button, bool down = true) {
            return [&pad, button, down] { pad.press(button, down); };
        };
        const auto tilt = [&pad](int value) {
            return [&pad, value] { pad.tilt(SDL_CONTROLLER_AXIS_LEFTX, value); };
        };
        const auto always = [] { return true; };
        const std::vector<Move> moves = {
            {[] { return focused(kScoreTitle); }, press(SDL_CONTROLLER_BUTTON_A)},
            {[] { return focused(QStringLiteral("Form3")); },
             press(SDL_CONTROLLER_BUTTON_A, false)},
            {always, press(SDL_CONTROLLER_BUTTON_A)},
            {[] { return focused(QStringLiteral("Form1")); },
             press(SDL_CONTROLLER_BUTTON_A, false)},
            {[&play] { return play.phase() == Form1::Phase::Play; },
             press(SDL_CONTROLLER_BUTTON_DPAD_DOWN)},
            {[&play] { return play.BoulVY > 0; }, press(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false)},
            {always, tilt(-32768)},
            {[&play] { return play.BoulVX < 0; }, tilt(0)},
            // Start pauses and goes on; a pad pulled out pauses too.
            {[&play] { return play.KeyXOn == 0; }, press(SDL_CONTROLLER_BUTTON_START)},
            {[&play] { return play.paused(); }, press(SDL_CONTROLLER_BUTTON_START, false)},
            {always, press(SDL_CONTROLLER_BUTTON_START)},
            {[&play] { return !play.paused(); }, press(SDL_CONTROLLER_BUTTON_START, false)},
            {always, [&spare] { spare.unplug(); }},
            {[&play] { return play.paused(); }, press(SDL_CONTROLLER_BUTTON_START)},
            {[&play] { return !play.paused(); }, press(SDL_CONTROLLER_BUTTON_START, false)},
            {always, press(SDL_CONTROLLER_BUTTON_BACK)},
            {[] { return focused(QStringLiteral("Spinmarsh")); },
             press(SDL_CONTROLLER_BUTTON_BACK, false)},
            {always, press(SDL_CONTROLLER_BUTTON_A)},
            {[] { return focused(QStringLiteral("すごーい")); },
             press(SDL_CONTROLLER_BUTTON_A, false)},
            {always, press(SDL_CONTROLLER_BUTTON_A)},
            {[] { return focused(kScoreTitle); }, press(SDL_CONTROLLER_BUTTON_A, false)},
        };
        size_t next = 0;
        QTimer player;
        player.setInterval(20);
        connect(&player, &QTimer::timeout, this, [&] {
            if (next < moves.size() && pad.read() && moves[next].ready()) {
                moves[next++].act();
            }
        });
        player.start();
        game.start();
        QTRY_VERIFY2_WITH_TIMEOUT(next == moves.size() && pad.read(),
                                  qPrintable(QStringLiteral("stuck before move %1").arg(next)),
                                  60000);
        player.stop();

        // A on the name prompt keeps its default text.
        QCOMPARE(HighScoreRecord(*std::make_unique<QSettingsStore>()).name(),
                 QStringLiteral("Name"));
        const QString total = game.screens().form2().caption(QStringLiteral("total"));
        QDir replays(home.filePath(QStringLiteral("data/spinmarsh/replays")));
        const QStringList filed = replays.entryList({QStringLiteral("2*.replay")}, QDir::Files);
        QCOMPARE(filed.size(), 1);
        QVERIFY2(filed[0].endsWith(QChar('-') + total + QStringLiteral(".replay")),
                 qPrintable(filed[0] + QStringLiteral(" for a total of ") + total));
        QProcess sim;
        sim.start(QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh-sim"),
                  {QStringLiteral("--replay"), replays.filePath(filed[0])});
        QVERIFY(sim.waitForFinished(60000));
        QCOMPARE(sim.exitCode(), 0);
        const QJsonObject end =
            QJsonDocument::fromJson(sim.readAllStandardOutput().trimmed().split('\n').last())
                .object();
        QCOMPARE(QString::number(end.value(QStringLiteral("total")).toInt()), total);
        QCOMPARE(end.value(QStringLiteral("end")).toString(), QStringLiteral("escape"));
    }
};

int main(int argc, char** argv) {
    // The game's music finds no sound server or device here.
    qputenv("PULSE_SERVER", "unix:/nonexistent");
    qputenv("ALSA_CONFIG_PATH", "/nonexistent");
    return execOnXvfb<TestPadGame>(argc, argv);
}

#include "test_pad_game.moc"
