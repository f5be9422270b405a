// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// What can lie where the game expects one of its files: what it wrote, or
// what a tool, a script, a damaged disk or a mistake left there.
namespace file_kinds {

inline const QString kNormal = QStringLiteral("normal");
// Those that can never be read as a file of the game's, whatever is in them.
inline const QStringList kOdd = {QStringLiteral("folder"), QStringLiteral("FIFO"),
                                 QStringLiteral("link to /dev/zero"), QStringLiteral("socket"),
                                 QStringLiteral("oversized sparse file")};
inline const QStringList kAll = QStringList{QStringLiteral("missing"), QStringLiteral("empty"),
                                            kNormal, QStringLiteral("unreadable")} +
                                kOdd;

// Puts a thing of this kind at path. A normal file holds `normal`; so does an
// unreadable one, which no one may read (root still can). An oversized one
// is 3 GB, more than any bound and than anything may read whole, and sparse,
// so it takes no room on the disk. False when it could not be made.
inline bool make(const QString& kind, const QString& path, const QByteArray& normal = {}) {
    const QByteArray name = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).path());
    if (kind == QLatin1String("missing")) {
        return !QFileInfo::exists(path);
    }
    if (kind == QLatin1String("folder")) {
        return QDir().mkpath(path);
    }
    if (kind == QLatin1String("FIFO")) {
        return mkfifo(name.constData(), 0644) == 0;
    }
    if (kind == QLatin1String("link to /dev/zero")) {
        return QFile::link(QStringLiteral("/dev/zero"), path);
    }
    if (kind == QLatin1String("socket")) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (name.size() >= qsizetype(sizeof address.sun_path)) {
            return false;
        }
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    QFile file(path);
    const QByteArray bytes = kind == QLatin1String("empty") ? QByteArray() : normal;
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           (kind != QLatin1String("oversized sparse file") || file.resize(qint64{3} << 30)) &&
           (kind != QLatin1String("unreadable") || file.setPermissions({}));
}

// What lies at path, links not followed: its type and its size or target,
// so that a thing moved elsewhere can be told to be the same. Empty: nothing.
inline QString describe(const QString& path) {
    struct stat look {};
    if (::lstat(QFile::encodeName(path).constData(), &look) != 0) {
        return {};
    }
    return QString::number(look.st_mode & S_IFMT) + QChar(' ') +
           (S_ISLNK(look.st_mode) ? QFileInfo(path).symLinkTarget()
                                  : QString::number(S_ISREG(look.st_mode) ? look.st_size : 0));
}

} // namespace file_kinds
