// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/rules.h"
#include "headless/stand_in_world.h"
#include "play/form1.h"
#include "play/play_view.h"

#include <cstdint>
#include <functional>

// Drives the play screen as the window's timers would, each at its moment on
// the stand-in clock: the countdown's steps kCountdownPeriodMs apart from the
// load, play kPlayStartSeconds after it, then a tick every period.
class PlayDriver {
  public:
    static constexpr double kPeriod = rules::kTickPeriodMs / 1000.0;

    PlayDriver(Form1& form, StandInWorld& world, double period = kPeriod)
        : m_form(form), m_world(world), m_period(period) {}

    // Loads the screen at the clock's time, or has `open` load it then (the
    // menu's Start, say).
    void load(const std::function<void()>& open = {});
    // Runs the countdown's steps at their moments, until play starts or the
    // game ends.
    void countdown();
    // Runs the next tick at its moment. Before it, due(n) may hand the game
    // what comes before tick n, the clock still where the last tick left it.
    // False, and no tick, once play is over.
    bool tick(const std::function<void(int64_t n)>& due = {});

    int64_t ticks() const { return m_ticks; }
    bool playing() const { return m_form.phase() == Form1::Phase::Play; }

  private:
    Form1& m_form;
    StandInWorld& m_world;
    double m_period;
    double m_loadedAt = 0.0;
    int64_t m_ticks = 0;
};

// The play screen alone, in a headless view on the stand-in world, with its
// driver.
struct HeadlessGame : StandInWorld {
    explicit HeadlessGame(const QString& tuneDir = {}, double period = PlayDriver::kPeriod);

    HeadlessPlayView* view = nullptr; // null once the screen has unloaded
    int scoreScreenShown = 0;
    Form1 form;
    PlayDriver drive;

    bool ended() const { return form.phase() == Form1::Phase::Closed; }
};
