// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/regular_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString RegularFile::reason() const {
    switch (status) {
    case Status::Read:
        return {};
    case Status::Missing:
        return QStringLiteral("no such file");
    case Status::NotRegular:
        return QStringLiteral("not a regular file");
    case Status::TooLarge:
        return QStringLiteral("too large");
    case Status::Unreadable:
        break;
    }
    return QStringLiteral("cannot be read");
}

RegularFile::Status regularFileStatus(const QString& path, qint64 maxBytes) {
    struct stat look {};
    if (::stat(QFile::encodeName(path).constData(), &look) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? RegularFile::Status::Missing
                                                   : RegularFile::Status::Unreadable;
    }
    if (!S_ISREG(look.st_mode)) {
        return RegularFile::Status::NotRegular;
    }
    return look.st_size > maxBytes ? RegularFile::Status::TooLarge : RegularFile::Status::Read;
}

int openRegularFile(const QString& path, qint64 maxBytes, RegularFile::Status* status) {
    // Looked at before it is opened: opening a device or a pipe may wait or
    // do something of its own.
    *status = regularFileStatus(path, maxBytes);
    if (*status != RegularFile::Status::Read) {
        return -1;
    }
    // Should a pipe have taken the file's place meanwhile, this open does not
    // wait for a writer, and fstat() tells.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *status = RegularFile::Status::Unreadable;
        return -1;
    }
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        *status = RegularFile::Status::NotRegular;
        return -1;
    }
    return fd;
}

RegularFile readRegularFile(const QString& path, qint64 maxBytes) {
    RegularFile result;
    const int fd = openRegularFile(path, maxBytes, &result.status);
    if (fd < 0) {
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.status = RegularFile::Status::Unreadable;
        return result;
    }
    // The file may grow between the look and the read; one byte over the
    // bound tells.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.status = RegularFile::Status::Unreadable;
        return result;
    }
    if (bytes.size() > maxBytes) {
        result.status = RegularFile::Status::TooLarge;
        return result;
    }
    result.status = RegularFile::Status::Read;
    result.bytes = std::move(bytes);
    return result;
}

QString moveAside(const QString& fileName) {
    const QString stem = fileName + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    // Only copies of the game name files so, and they do it under the lock.
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n) {
        aside = stem + QChar('-') + QString::number(n);
    }
    return ::rename(QFile::encodeName(fileName).constData(),
                    QFile::encodeName(aside).constData()) == 0
               ? aside
               : QString();
}
