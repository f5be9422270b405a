// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/gamepads.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <utility>

class QWindow;

// The game controllers speak the game's keys: the directions are the arrow
// keys, A is Enter, Start is P and Back is Escape. Each change reaches the
// active window as the key event the keyboard would give, queued as the
// keyboard's are, so the screens and the dialogs take it as a key, and the
// play screen and its recordings never learn that a pad was used. Only the
// active window hears the pads; a key goes up where it went down. A pad
// unplugged while a screen's window is active tells that screen it lost the
// player (Form_Deactivate), which pauses a game in play.
class PadKeys : public QObject {
    Q_OBJECT
  public:
    explicit PadKeys(Gamepads& pads);
    ~PadKeys() override;

  private:
    void focusMoved(QWindow* window);
    void changed(int pad, Gamepads::Control control, bool down);
    void removed();

    Gamepads& m_pads;
    // Where each held control's key went down.
    std::map<std::pair<int, Gamepads::Control>, QPointer<QObject>> m_held;
};
