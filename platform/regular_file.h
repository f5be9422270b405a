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
