// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/records_folder.h"
#include "play/recording.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The game's own records, beside the recordings: the best ten games, each
// with its holder's name, and the recent games. Both are the recordings in
// the folder, ranked; the table file adds only what no recording holds, the
// names. So a table that is lost or damaged is rebuilt from the recordings,
// and the first start of the game lists a player's history at once.
// Rollvane.ini, the high score the screens of old show, is not touched.

struct RecordEntry {
    QString file; // the recording's name in the replays folder
    QString name;
    int32_t total = 0;
    QDateTime played;
    Form1::End end = Form1::End::None;
    int32_t seconds = 0;
};

// What the table file holds: the name last typed at the prompt, and the
// names of the best ten games.
struct RecordsTable {
    std::optional<QString> lastName; // none until one is typed
    QMap<QString, QString> names;    // recording -> name
    bool damaged = false;            // some of it did not read: rewrite it

    static RecordsTable parse(const QByteArray& text);
    QByteArray format(const std::vector<RecordEntry>& best) const;
};

// The name a game enters the table with: the one typed at its prompt, else
// the one last typed on this account, else the account's own.
QString entryName(const std::optional<QString>& typed, const std::optional<QString>& lastName,
                  const QString& account);

class Records {
  public:
    static constexpr int kBest = 10;
    // The recordings kept besides the best ten's, newest first.
    static constexpr int kKept = 50;

    Records(RecordsFolder folder, QString account)
        : m_folder(std::move(folder)), m_account(std::move(account)) {}

    const RecordsFolder& folder() const { return m_folder; }

    // On the first start, or with the table lost or damaged, fills the
    // table from the recordings in the folder; the record's own game joins
    // them when no dated recording holds it.
    void open() const;
    // The game just filed as `file` enters the records under its name.
    bool enter(const QString& file, const std::optional<QString>& typed) const;
    // Removes the recordings beyond the newest kKept, but never the best ten's.
    void prune() const;

    // Best first; equal totals, the earlier game first.
    std::vector<RecordEntry> bestTen() const;
    // Newest first.
    std::vector<RecordEntry> recent(int count) const;
    // A recording of the folder, checked as every recording is.
    std::optional<Recording> game(const QString& file, std::string& error) const;

    static QString fileName(const QDateTime& played, int32_t total);

  private:
    std::vector<RecordEntry> rank(const RecordsTable& table) const;
    void adoptRecordGame() const;

    RecordsFolder m_folder;
    QString m_account;
};
