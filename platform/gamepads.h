// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

// The game controllers plugged into the machine, read as the few controls the
// game knows. Each pad's D-pad and left stick together make its four
// directions. Pads come and go at any moment; a pad's id stays its own while
// it is plugged in.
class Gamepads {
  public:
    enum class Control { Left, Up, Right, Down, A, Start, Back };
    static constexpr int kControls = 7;

    virtual ~Gamepads() = default;

    // The controls are read only while listening. Going deaf lets go of
    // every held control; what the pads do meanwhile is never told, so a
    // control held through it counts as let go until it is pressed again.
    virtual void setListening(bool listening) = 0;

    // Told on the user-interface thread. Every control told down is told up
    // again, at the latest when listening stops or its pad is unplugged;
    // releases come before presses, and a pad's removal after the release of
    // its controls.
    std::function<void(int pad, Control control, bool down)> changed;
    std::function<void(int pad)> removed;
};

// A machine without game controllers, or a game built without them.
class NoGamepads : public Gamepads {
  public:
    void setListening(bool) override {}
};
