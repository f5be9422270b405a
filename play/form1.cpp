// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "art/pictures.h"
#include "base/numbers.h"
#include "base/rules.h"
#include "play/game_fields.h"

Form1::Form1(Environment environment, ViewFactory makeView)
    : m_env(std::move(environment)), m_makeView(std::move(makeView)) {}

ScreenWindow* Form1::createWindow() {
    // Every game starts from clean pictures; the window is built around them.
    MainPic = Surface(art::playField());
    SubPic = Surface(art::playField());
    BoulPic = Surface(art::playerBallSheet());
    Boul2pic = Surface(art::enemyBallSheet());
    Ganmanpic = Surface(art::topGunmanSheet());
    Ganman2pic = Surface(art::leftGunmanSheet());
    Ganpic = Surface(art::shotSheet());
    m_view = m_makeView(*this);
    return m_view;
}

void Form1::Form_Load() {
    m_phase = Phase::Countdown;
    m_pauseKeyDown = false; // its release may have gone to the last game's window
    m_end = End::None;
    m_env.music.tuneEnded = [this] { PlayMusic(); };

    forEachField(Fate::Reset, [this](const GameField& field) { field.set(*this, field.reset); });
    BoulX = cint(static_cast<double>(ScaleWidth() / 2 + 16));
    BoulY = cint(static_cast<double>(ScaleHeight() / 2 + 16));
    if (tap != nullptr) {
        tap->loaded(*this);
    }
}

void Form1::Timer2_Timer() {
    if (m_phase != Phase::Countdown || m_paused) {
        return;
    }
    Countdown = add(Countdown, 1);
    if (Countdown == rules::kBannerEvent) {
        view()->setBannerVisible(true);
    }
    if (Countdown == rules::kStartEvent) {
        view()->setBannerVisible(false);
        m_env.sleeper.sleep(rules::kStartWaitMs);
        StartPlay();
    }
}

// False when what the tap fed in ended the game.
bool Form1::beforeStep() {
    if (tap != nullptr) {
        tap->stepping(*this);
    }
    return inGame();
}

void Form1::StartPlay() {
    if (!beforeStep()) {
        return;
    }
    m_phase = Phase::Play;
    view()->setTimer1Enabled(true);
    view()->setTimer2Enabled(false);
    DrawBoul();
    Boul2X = 50;
    Boul2Y = 50;
    DrawBoul2();
    HitCheck();
    PlayMusic();
    StartTime = cint(m_env.clock.now());
}
