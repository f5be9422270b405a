// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/music_player.h"
#include "platform/random_source.h"
#include "platform/sleeper.h"
#include "platform/surface.h"
#include "play/game_state.h"
#include "play/play_view.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// A key event or the window-close command, before step `tick`: 0 is the
// countdown (before play starts), n is before the n-th tick.
struct GameEvent {
    enum class Kind { Down, Up, Close };
    int64_t tick = 0;
    Kind kind = Kind::Down;
    int16_t key = 0;
};

// The play screen: the game itself. Plain C++ on top of the platform
// interfaces, so the Qt window, the simulator and the tests all drive this
// same code by calling its handlers.
class Form1 : public Screen, public GameState {
  public:
    // The world the game talks to.
    struct Environment {
        Clock& clock; // what the game reads
        // Held while the game is paused. It is what `clock` reads, except
        // while a recording plays: that brings its own readings.
        PausableClock& gameClock;
        Sleeper& sleeper; // the countdown's wait before play
        Dialogs& dialogs;
        MusicPlayer& music;
        RandomSource& random;
        QString tuneDir; // the folder the tunes are in
    };
    using ViewFactory = std::function<PlayView*(Form1&)>;

    enum class Phase { Closed, Countdown, Play, Ending, Closing };
    enum class End { None, Escape, Life, Time, Close };

    // Told of everything a game takes from outside, in order: replays are
    // recorded and played through it.
    class Tap {
      public:
        virtual void loaded(Form1& game) = 0;
        // Before each step that reads the clock: the start of play, then
        // every tick. A replay feeds the events due there.
        virtual void stepping(Form1& game) = 0;
        virtual void taken(const Form1& game, GameEvent::Kind kind, int16_t key) = 0;
        virtual void ended(const Form1& game) = 0;

      protected:
        ~Tap() = default;
    };

    Form1(Environment environment, ViewFactory makeView);

    // P and the keyboard's Pause key pause a game and resume it.
    static bool isPauseKey(int16_t key);

    Tap* tap = nullptr;

    // Shows the score screen; the play screen's closing handlers call it.
    std::function<void()> showScoreScreen;

    Phase phase() const { return m_phase; }
    // In the countdown or in play, paused or not: keys count.
    bool inGame() const { return m_phase == Phase::Countdown || m_phase == Phase::Play; }
    bool paused() const { return m_paused; }
    End endCause() const { return m_end; }
    PlayView* view() const { return m_view; }

    // Event handlers.
    void Timer2_Timer();
    void Timer1_Timer();
    void Form_KeyDown(int16_t& KeyCode, int Shift) override;
    void Form_KeyUp(int16_t& KeyCode, int Shift) override;
    void Form_Deactivate() override;

    void HitCheck();

    // Drawing on the visible field; each draws at the place the state holds.
    void DrawBoul();
    void DrawBoul2();
    void EraseBoul();
    void EraseBoul2();
    void DrawGanman();
    void DrawGanman2();
    void DrawShot1();
    void DrawShot2();
    void EraseShot1();
    void EraseShot2();
    void RestoreEdges();

    // The visible field, its untouched copy and the sprite sheets. They are
    // made afresh from the pictures each time the screen loads.
    Surface MainPic, SubPic, BoulPic, Boul2pic, Ganmanpic, Ganman2pic, Ganpic;
    float ScaleWidth() const { return static_cast<float>(MainPic.width()); }
    float ScaleHeight() const { return static_cast<float>(MainPic.height()); }

  protected:
    ScreenWindow* createWindow() override;
    void Form_Load() override;
    void Form_QueryUnload() override;
    void Form_Unload() override;

  private:
    bool beforeStep();
    void StartPlay();
    void GameOver();
    void PlayMusic();
    void PauseGame();
    void ResumeGame();
    void setPaused(bool paused);
    void holdBack(GameEvent::Kind kind, int16_t key);
    void closingHandler();
    void stopTimers();
    void drawSprite(const Surface& sheet, int32_t x, int32_t y, int w, int h);
    void restore(int32_t x, int32_t y, int w, int h);
    void holdInside(int32_t& x, int32_t& y, int32_t& vx, int32_t& vy, int32_t& bounces) const;

    Environment m_env;
    ViewFactory m_makeView;
    PlayView* m_view = nullptr;
    Phase m_phase = Phase::Closed;
    End m_end = End::None;
    bool m_paused = false;
    bool m_pauseKeyDown = false;
    // Arrow keys pressed and let go while paused, for the game to take in
    // order when it resumes.
    std::vector<GameEvent> m_heldBack;
};
