// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// Every file the game reads from outside (the record, the preferences, the
// tunes, the recordings) goes through this one rule: it is read only when it
// is a regular file, links followed, of at most a given size, and it is never
// opened in a way that could wait. A pipe with no writer, a device such as
// /dev/zero or a 2 GB file left by a damaged disk would otherwise hold the
// game before its first window.
struct RegularFile {
    enum class Status { Read, Missing, NotRegular, TooLarge, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes; // what was read, when status is Read

    bool ok() const { return status == Status::Read; }
    // Why it was not read, in words for the command line, e.g. "not a
    // regular file".
    QString reason() const;
};

RegularFile readRegularFile(const QString& path, qint64 maxBytes);

// The same rule for a file read a part at a time: a descriptor open for
// reading, or -1 with the reason in status. The caller closes it.
int openRegularFile(const QString& path, qint64 maxBytes, RegularFile::Status* status);

// What readRegularFile would make of the file from a look at it alone,
// without opening it: Read for one it would go on to read. For those that
// only count or remove files, such as the pruning of old recordings.
RegularFile::Status regularFileStatus(const QString& path, qint64 maxBytes);

// Whether the status says that something lies at the path that can never be
// read as a file of this size: a folder, a pipe, a device, a socket, or a
// file too large.
inline bool isOdd(RegularFile::Status status) {
    return status == RegularFile::Status::NotRegular || status == RegularFile::Status::TooLarge;
}

// Moves what lies at fileName out of the way, to fileName.damaged-<time>
// beside it, never over anything already there. Only renamed: a pipe or a
// device is never opened, a folder keeps what is in it. The new name, or
// empty when it could not be moved.
QString moveAside(const QString& fileName);
