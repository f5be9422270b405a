// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "headless/play_driver.h"

#include <QImage>
#include <QRect>

// The play screen on the stand-in world. Tests load it and run its countdown
// as the window would, then call its handlers as the window's timers and keys
// would, moving the clock themselves.
struct PlayRig : HeadlessGame {
    PlayRig() : HeadlessGame(QStringLiteral("/opt/spinmarsh")) {}

    void load() { drive.load(); }
    void countdown() { drive.countdown(); }
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
