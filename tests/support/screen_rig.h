// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "headless/play_driver.h"
#include "tests/support/stand_ins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The program's screens, shown in the views given, with stand-ins for
// time, sound and the browser, and the real settings file.
struct ScreenRig : StandInWorld {
    ScreenRig(Dialogs& screenDialogs, ScreenSet::Views views, const Records* records = nullptr)
        : set(
              [&] {
                  ScreenSet::Platform platform = screenPlatform(screenDialogs, settings, shell);
                  platform.records = records;
                  return platform;
              }(),
              std::move(views), [this] { ++ended; }) {}

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

// A data folder holding the kept golden game (total 15050) under each of the
// names given.
struct RecordsFolderRig {
    QTemporaryDir dir;
    RecordsFolder folder{dir.path()};
    Records records{folder, QStringLiteral("Account")};

    explicit RecordsFolderRig(const QStringList& files) {
        QDir().mkpath(folder.replaysDir());
        for (const QString& file : files) {
            QFile::copy(QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay"),
                        folder.replaysDir() + QChar('/') + file);
        }
    }
};
