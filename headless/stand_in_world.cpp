// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_in_world.h"

#include "play/play_view.h"
#include "play/tally.h"
#include "screens/layout_view.h"

Form1::Environment StandInWorld::playEnvironment(Clock& reads, const QString& tuneDir) {
    return Form1::Environment{reads, gameClock, pause, dialogs, music, random, tuneDir};
}

ScreenSet::Platform StandInWorld::screenPlatform(Dialogs& screenDialogs, SettingsStore& settings,
                                                 Shell& shell) {
    return ScreenSet::Platform{gameClock, gameClock, pause, screenDialogs, music,
                               random,    settings,  shell, QString(),     QString()};
}

ScreenSet::Views headlessViews() {
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
