// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "headless/play_driver.h"
#include "platform/storage/qsettings_store.h"
#include "tests/support/stand_ins.h"

#include <QTest>

#include <functional>

// The program's four screens, shown in the views given, with stand-ins for
// time, sound and the browser, and the real settings file.
struct ScreenRig : StandInWorld {
    ScreenRig(Dialogs& screenDialogs, ScreenSet::Views views)
        : set(screenPlatform(screenDialogs, settings, shell), std::move(views),
              [this] { ++ended; }) {}

    QSettingsStore settings;
    RecordingShell shell;
    int ended = 0;
    ScreenSet set;
    PlayDriver drive{set.form1(), *this};

    // From the menu's Start to the end message: pressStart runs the menu's
    // Start, pressEscape ends the game after a few ticks.
    void playAGame(const std::function<void()>& pressStart,
                   const std::function<void()>& pressEscape) {
        drive.load(pressStart);
        QVERIFY(set.form1().isShown());
        QVERIFY(!set.form3().isShown());
        drive.countdown();
        QCOMPARE(set.form1().phase(), Form1::Phase::Play);
        for (int i = 0; i < 10; ++i) {
            drive.tick();
        }
        pressEscape();
    }
};

// Where the record is kept: the real settings file.
inline QString settingsFile() {
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/Rollvane.ini");
}
