// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/settings_store.h"

#include <QString>

#include <cstdint>

// The one record the game keeps between runs: the best total and the name of
// whoever reached it, in the per-user settings store. Every name, key and
// default of the record lives here, so the score screen and the high-score
// screen cannot drift apart.
namespace record {
inline const QString kApplication = QStringLiteral("Rollvane");
inline const QString kSection = QStringLiteral("データ");
inline const QString kScoreKey = QStringLiteral("ハイスコア");
inline const QString kNameKey = QStringLiteral("名前");
inline const QString kDefaultScore = QStringLiteral("0");
inline const QString kDefaultName = QStringLiteral("Tovik");
} // namespace record

class HighScoreRecord {
  public:
    explicit HighScoreRecord(SettingsStore& store) : m_store(store) {}

    // Both as stored, or the readers' defaults when absent.
    QString scoreText() const;
    QString name() const;

    // The stored score as a number to beat. The game only ever stores a
    // positive whole number, so anything else (edited by hand, cut short)
    // counts as no score at all: 0.
    int32_t score() const;
    static int32_t scoreFromText(const QString& text);

    // Stores name and score together, in one replacement of the record, but
    // only when the score still beats the stored one at that moment: another
    // copy of the game may have stored a higher one since it was read. Stored
    // only once the store is seen to hold the new record; Failed keeps the
    // old one whole.
    SettingsStore::Change saveIfHigher(const QString& name, int32_t score);
    // Where the last save moved what lay in the record's place and could
    // never be a record, or empty when it found none.
    const QString& movedAside() const { return m_movedAside; }

    // The game that set the record, kept beside it: dropped just before a new
    // record replaces the stored one and kept once the new one is stored, both
    // under the record's lock, so that neither a kill nor another copy of the
    // game can leave one game beside another's score.
    SettingsStore::Alongside game;

  private:
    SettingsStore& m_store;
    QString m_movedAside;
};
