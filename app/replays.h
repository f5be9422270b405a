// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "play/replay.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QString>

#include <optional>

class QCommandLineParser;

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

// The command line's --replay FILE and --watch-record.
class ReplayOptions {
  public:
    explicit ReplayOptions(QCommandLineParser& parser);
    // The recording the command line asks to watch, if any.
    std::optional<QString> file(const QCommandLineParser& parser) const;

  private:
    QCommandLineOption m_replay;
    QCommandLineOption m_watchRecord;
};
