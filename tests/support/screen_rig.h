// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "headless/play_driver.h"
#include "platform/storage/qsettings_store.h"
#include "play/tally.h"
#include "screens/layout_view.h"
#include "screens/screen_set.h"
#include "tests/support/stand_ins.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The view of the tests without a window: labels are text by name, visible
// unless hidden, starting as the factory that made it fills them in.
class HeadlessLayoutView final : public LayoutView, public HeadlessWindow {
  public:
    QString caption(const QString& name) const override { return captions.value(name); }
    void setCaption(const QString& name, const QString& text) override { captions[name] = text; }
    bool isLabelVisible(const QString& name) const override { return !hidden.contains(name); }
    void setLabelVisible(const QString& name, bool visible) override {
        if (visible) {
            hidden.remove(name);
        } else {
            hidden.insert(name);
        }
    }
    void setPicture(const QString& name, const QImage& picture) override {
        pictures[name] = picture;
    }

    QHash<QString, QString> captions;
    QSet<QString> hidden;
    QHash<QString, QImage> pictures;
};

// Views without windows that start as the layouts do: the score screen's
// point values in place, the menu showing only its first item.
inline ScreenSet::Views headlessViews() {
    return ScreenSet::Views{
        [](Form1&) { return new HeadlessPlayView; },
        [](Form2&) {
            auto* view = new HeadlessLayoutView;
            for (int i = 0; i < kRows; ++i) {
                view->captions[Form2::kPointLabels[i]] = kPointCaptions[i];
            }
            return view;
        },
        [](Form3&) {
            auto* view = new HeadlessLayoutView;
            view->hidden = {Form3::kItemLabels[1], Form3::kItemLabels[2], Form3::kItemLabels[3]};
            return view;
        },
        [](Form4&) { return new HeadlessLayoutView; },
        [](RecordsScreen&) { return new HeadlessLayoutView; }};
}

// The program's screens, shown in the views given, with stand-ins for
// time, sound and the browser, and the real settings file.
struct ScreenRig : StandInWorld {
    ScreenRig(Dialogs& screenDialogs, ScreenSet::Views views, const Records* records = nullptr)
        : set(ScreenSet::Platform{gameClock, gameClock, sleeper, screenDialogs, music, random,
                                  settings, shell, QString(), QString(), records},
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
