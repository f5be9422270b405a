// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/music_player.h"
#include "platform/random_source.h"
#include "platform/sleeper.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

// The machine's seams stood in for: nothing waits, sounds or opens a window.
// The simulator, the benchmark and the tests of every layer use them.

// A clock that only moves when told to.
class ManualClock : public Clock {
  public:
    double now() const override { return time; }
    double time = 0.0;
};

// Moves a manual clock instead of sleeping. When `until` is set, the clock
// lands exactly there, so a simulated schedule is not disturbed by rounding.
class ManualSleeper : public Sleeper {
  public:
    explicit ManualSleeper(ManualClock& clock) : m_clock(clock) {}
    void sleep(int milliseconds) override;
    double until = -1.0;
    QList<int> lengths; // each sleep asked for, in milliseconds
    // Runs after each sleep has moved the clock, as other events would.
    std::function<void()> meanwhile;

  private:
    ManualClock& m_clock;
};

// Answers from a script and remembers what was asked.
class ScriptedDialogs : public Dialogs {
  public:
    void MsgBox(const QString& text) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

    QStringList messages;
    QStringList prompts;
    QStringList answers; // taken from the front; "" once empty, as on Cancel
    // Runs while a message is up, as the real box's own event loop lets other
    // events in.
    std::function<void()> whileShown;
};

// The stand-in of the simulator and the tests: plays nothing and notes each
// call in order ("file <path>", "open", "play", ...).
class RecordingMusicPlayer : public MusicPlayer {
  public:
    void setFileName(const QString& path) override { log << QStringLiteral("file ") + path; }
    void open() override { log << QStringLiteral("open"); }
    void play() override { log << QStringLiteral("play"); }
    void stop() override { log << QStringLiteral("stop"); }
    void close() override { log << QStringLiteral("close"); }
    void pause() override { log << QStringLiteral("pause"); }
    void resume() override { log << QStringLiteral("resume"); }
    QStringList log;
};

// Hands out the given numbers in order (then 0), for tests.
class SequenceRandom : public RandomSource {
  public:
    void reseedFromClock() override { ++reseeds; }
    double next() override;
    std::deque<double> values;
    int reseeds = 0;
};

// The window of the simulator and the tests: it only remembers whether it is
// shown. The views of each screen build on it.
class HeadlessWindow : public virtual ScreenWindow {
  public:
    void display() override { displayed = true; }
    void conceal() override { displayed = false; }
    void dispose() override { delete this; }
    bool isDisplayed() const override { return displayed; }

    bool displayed = false;

  protected:
    virtual ~HeadlessWindow() = default;
};
