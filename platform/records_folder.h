// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/regular_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The game's own files in the user's data folder ($XDG_DATA_HOME/spinmarsh,
// usually ~/.local/share/spinmarsh): the recordings in replays/ and the table
// of the best games beside them. Only bytes cross here; what they mean is the
// records' rules'. Everything read goes through the one reading rule, so
// nothing a player leaves in the folder can hold the game.
class RecordsFolder {
  public:
    explicit RecordsFolder(QString root = userRoot());

    static QString userRoot();
    QString replaysDir() const;
    QString tableFile() const;

    // The recordings' names, as they lie in the folder, none of them read.
    QStringList replayNames() const;
    RegularFile readReplay(const QString& name, qint64 maxBytes) const;
    QDateTime replayModified(const QString& name) const;
    // Whether it could be read as a recording: only those are the game's to
    // count and remove; a folder, a pipe or a huge file under such a name is
    // left as it is.
    bool isReplayFile(const QString& name, qint64 maxBytes) const;
    // Whole or not at all.
    bool writeReplay(const QString& name, const QByteArray& bytes) const;
    void removeReplay(const QString& name) const;

    RegularFile readTable(qint64 maxBytes) const;
    // A table that cannot be read is moved aside, to
    // records.txt.damaged-<time>, never deleted.
    void setTableAside() const;
    // One change of the table, under the lock every copy of the game takes
    // for it: `change` gets the table as it is at that moment and returns
    // what replaces it, or nothing to leave it. `change` may work on the
    // recordings too; no other copy changes the table meanwhile.
    bool
    changeTable(qint64 maxBytes,
                const std::function<std::optional<QByteArray>(const RegularFile&)>& change) const;

  private:
    QString m_root;
};

// The user account's own name: the full name the password database gives it,
// else its login name.
QString accountName();
