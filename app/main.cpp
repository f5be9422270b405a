// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"
#include "app/build_config.h"
#include "app/command_line.h"
#include "app/display.h"
#include "app/replays.h"
#include "art/icon.h"
#include "screens/high_score_record.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine commandLine = readCommandLine(arguments);
    if (commandLine.exitStatus) {
        return *commandLine.exitStatus;
    }
    // A recording to watch is read whole before anything else happens, so a
    // bad one is refused even without a display.
    std::optional<Recording> watched;
    if (commandLine.replay || commandLine.watchRecord) {
        std::string error;
        QSettingsStore settings;
        watched = commandLine.replay
                      ? loadRecording(*commandLine.replay, error)
                      : Replays::loadRecordGame(HighScoreRecord(settings).score(), error);
        if (!watched) {
            std::fprintf(stderr, "spinmarsh: %s\n", error.c_str());
            return 2;
        }
    }
    // The desktop's name for the game, for the window manager and the sound
    // server alike, known before anything else starts.
    QGuiApplication::setDesktopFileName(QStringLiteral(SPINMARSH_APP_ID));
    if (!displayReachable()) {
        std::fputs("spinmarsh: no display to open (DISPLAY and WAYLAND_DISPLAY reach none); start "
                   "it on a desktop.\n",
                   stderr);
        return 1;
    }
    // Under X, Qt's shared-memory images make each tick's paint wait for the
    // X server to finish reading the last one: a round trip, and two more
    // wake-ups of the game, every tick. The few small rectangles a tick
    // changes cost less sent down the connection. Other platforms ignore it.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Spinmarsh"));
    // No display name: Qt would append it to every window's title, and each
    // screen's title is exactly its caption.

    // Every window shows the program's own icon; the desktop file names it too.
    QApplication::setWindowIcon(art::programIcon());
    // The program ends when its last screen unloads, not when a window
    // closes: screens hide their windows between showings, so at times none
    // is on show while the game goes on.
    QApplication::setQuitOnLastWindowClosed(false);

    Application game(std::move(watched));
    game.start(commandLine.records);
    return QApplication::exec();
}
