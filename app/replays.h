// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "play/replay.h"

#include <QByteArray>
#include <QString>

// The recordings on disk. Every game the window plays is filed when it ends
// in the user's data folder as YYYYMMDD-HHMMSS-TOTAL.replay; the newest
// kKept are kept. Nothing here ever disturbs play: the game is buffered in
// memory, and a failed write leaves no file behind and says nothing.
class Replays {
  public:
    static constexpr int kKept = 50;

    explicit Replays(const Clock& source);

    // The game's clock and tap while it is recorded.
    Clock& clock() { return m_recorder; }
    Form1::Tap& tap() { return m_recorder; }

    // Keeps the game that has just ended as record.replay; called once its
    // total has been stored as the high score.
    void keepAsRecord();

    static QString folder();
    static QString recordFile();

  private:
    void file(const Recording& game);

    GameRecorder m_recorder;
    QByteArray m_last;
};
