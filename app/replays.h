// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settings_store.h"
#include "play/replay.h"
#include "screens/records.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

// The recordings on disk. Every game the window plays is filed when it ends
// in the user's data folder as YYYYMMDD-HHMMSS-TOTAL.replay; the records
// decide which are kept. Nothing here ever disturbs play: the game is
// buffered in memory, and a failed write leaves no file behind and says
// nothing.
class Replays {
  public:
    Replays(const Clock& source, const Records& records);

    // The game's clock and tap while it is recorded.
    Clock& clock() { return m_recorder; }
    Form1::Tap& tap() { return m_recorder; }
    // The name the last game was filed under; empty if it could not be.
    const QString& lastFiled() const { return m_lastFiled; }

    // The game that has just ended as the record's game, record.replay, for
    // HighScoreRecord::game: the old one goes before the record is replaced,
    // this one is written once its total is stored.
    SettingsStore::Alongside asRecordGame();
    static void dropRecordGame();
    static void keepRecordGame(const QByteArray& game);
    // The game that set the stored score `score`. Copies of the game that
    // wrote record.replay after the record, outside its lock, can have left
    // another game's there: that is no record's game.
    static std::optional<Recording> loadRecordGame(int32_t score, std::string& error);

    static QString folder();
    static QString recordFile();

  private:
    void file(const Recording& game);

    GameRecorder m_recorder;
    const Records& m_records;
    QByteArray m_last;
    QString m_lastFiled;
};
