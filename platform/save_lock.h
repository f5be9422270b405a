// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The lock a writer of a shared file holds on <file>.lock while it reads,
// changes and replaces the file, so that two copies of the game never lose
// each other's change. It is flock(2) on the lock file: the kernel lets go of
// it however its holder dies, so the next save takes it at once.
//
// For the record, the lock file is the one QSettings and older copies of the
// game lock with QLockFile. QLockFile proves a lock stale by the process named
// in the file, so a holder killed before writing its name left a lock no one
// could take for half a minute. QLockFile flocks the file it creates too, so
// an older copy holding the lock is waited for, and an older copy finding this
// lock's file waits until the holder removes it on letting go. Missed are only
// a QLockFile caught between creating its file and flocking it (a few system
// calls), and, by older copies, the empty file a killed holder leaves until
// this game's next save.
class SaveLock {
  public:
    explicit SaveLock(const QString& lockFile);
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    ~SaveLock();

    // Another copy of the game holds the lock for a few milliseconds; one
    // that holds it longer (stopped in a debugger, a file system that hangs)
    // is given up on after a second rather than freezing the game.
    bool tryLock();

  private:
    bool isNamed(int fd) const;

    const QByteArray m_name;
    int m_fd = -1;
};
