// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "screens/screen_set.h"
#include "tests/support/stand_ins.h"

#include <QTest>

#include <functional>

// The program's four screens, shown in the views given, with stand-ins for
// time, sound and the browser, and the real settings file.
struct ScreenRig {
    ScreenRig(Dialogs& dialogs, ScreenSet::Views views)
        : set(ScreenSet::Platform{gameClock, gameClock, pause, dialogs, music, random, settings,
                                  shell, QString()},
              std::move(views), [this] { ++ended; }) {}

    ManualClock clock;
    PausableClock gameClock{clock};
    ManualPause pause{clock};
    RecordingMusicPlayer music;
    SequenceRandom random;
    QSettingsStore settings;
    RecordingShell shell;
    int ended = 0;
    ScreenSet set;

    // From the menu's Start to the end message: pressStart runs the menu's
    // Start, pressEscape ends the game after a few ticks.
    void playAGame(const std::function<void()>& pressStart,
                   const std::function<void()>& pressEscape) {
        pressStart();
        QVERIFY(set.form1().isShown());
        QVERIFY(!set.form3().isShown());
        for (int i = 0; i < 3; ++i) {
            set.form1().Timer2_Timer();
        }
        QCOMPARE(set.form1().phase(), Form1::Phase::Play);
        for (int i = 0; i < 10; ++i) {
            set.form1().Timer1_Timer();
        }
        pressEscape();
    }
};

// Where the record is kept: the real settings file.
inline QString settingsFile() {
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/Rollvane.ini");
}
