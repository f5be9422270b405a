// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "play/form1.h"
#include "tests/support/stand_ins.h"

#include <QImage>
#include <QRect>
#include <QStringList>

#include <functional>

// A message box that can let other events in while it is up, as the real
// one's nested event loop does.
class NestedDialogs : public ScriptedDialogs {
  public:
    void MsgBox(const QString& text) override {
        ScriptedDialogs::MsgBox(text);
        if (whileShown) {
            whileShown();
        }
    }
    std::function<void()> whileShown;
};

// A pause that moves the manual clock and lets a test look around meanwhile.
class WatchedPause : public ManualPause {
  public:
    using ManualPause::ManualPause;
    void pause(int milliseconds) override {
        ManualPause::pause(milliseconds);
        lengths << milliseconds;
        if (meanwhile) {
            meanwhile();
        }
    }
    QList<int> lengths;
    std::function<void()> meanwhile;
};

// The play screen on a manual clock with recording doubles. Tests call its
// handlers as the window's timers and keys would.
struct PlayRig {
    ManualClock clock;
    PausableClock gameClock{clock}; // what the game reads
    WatchedPause pause{clock};
    NestedDialogs dialogs;
    RecordingMusicPlayer music;
    SequenceRandom random;
    HeadlessPlayView* view = nullptr; // null once the window is gone
    int scoreScreenShown = 0;
    Form1 form;

    PlayRig()
        : form(Form1::Environment{gameClock, gameClock, pause, dialogs, music, random,
                                  QStringLiteral("/opt/spinmarsh")},
               [this](Form1&) { return view = new HeadlessPlayView; }) {
        form.showScoreScreen = [this] { ++scoreScreenShown; };
        form.unloaded = [this] { view = nullptr; };
    }
    PlayRig(const PlayRig&) = delete;
    PlayRig& operator=(const PlayRig&) = delete;

    void load() { form.show(); }
    void countdown() {
        for (int i = 0; i < 3; ++i) {
            form.Timer2_Timer();
        }
    }
    void startPlay() {
        load();
        countdown();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            form.Timer1_Timer();
        }
    }
    void press(int key) {
        int16_t code = static_cast<int16_t>(key);
        form.Form_KeyDown(code, 0);
    }
    void release(int key) {
        int16_t code = static_cast<int16_t>(key);
        form.Form_KeyUp(code, 0);
    }
    bool ended() const { return form.phase() == Form1::Phase::Closed; }

    // Parks both balls at rest where nothing meets them and the shots fly
    // clear of both, so a test can set up just the case it looks at.
    void park() {
        parkBalls();
        form.Shot1X = form.Shot1OldX = 500;
        form.Shot1Y = form.Shot1OldY = 60;
        form.Shot2X = form.Shot2OldX = 60;
        form.Shot2Y = form.Shot2OldY = 340;
    }
    void parkBalls() {
        form.BoulX = form.BoulOldX = 300;
        form.BoulY = form.BoulOldY = 200;
        form.Boul2X = form.Boul2OldX = 100;
        form.Boul2Y = form.Boul2OldY = 100;
        form.BoulVX = form.BoulVY = form.Boul2VX = form.Boul2VY = 0;
    }
};

using Ints = QList<int>;

inline QImage region(const Surface& surface, const QRect& rect) {
    return surface.image().copy(rect);
}
